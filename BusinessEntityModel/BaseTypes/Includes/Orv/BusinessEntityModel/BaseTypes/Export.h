#pragma once

// Symbols of libOrv.BusinessEntityModel.BaseTypes are hidden unless marked.
#if defined(_WIN32)
#  if defined(ORV_BASE_TYPES_BUILDING)
#    define ORV_BASE_TYPES_API __declspec(dllexport)
#  else
#    define ORV_BASE_TYPES_API __declspec(dllimport)
#  endif
#else
#  define ORV_BASE_TYPES_API __attribute__((visibility("default")))
#endif
