#pragma once

// Symbols of libOrv.Common.Serialization.Json are hidden unless marked.
#if defined(_WIN32)
#  if defined(ORV_COMMON_SERIALIZATION_JSON_BUILDING)
#    define ORV_COMMON_SERIALIZATION_JSON_API __declspec(dllexport)
#  else
#    define ORV_COMMON_SERIALIZATION_JSON_API __declspec(dllimport)
#  endif
#else
#  define ORV_COMMON_SERIALIZATION_JSON_API __attribute__((visibility("default")))
#endif
