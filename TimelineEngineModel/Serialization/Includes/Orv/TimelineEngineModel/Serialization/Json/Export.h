#pragma once

// Symbols of libOrv.TimelineEngineModel.Serialization.Json are hidden unless marked.
#if defined(_WIN32)
#  if defined(ORV_TIMELINE_JSON_BUILDING)
#    define ORV_TIMELINE_JSON_API __declspec(dllexport)
#  else
#    define ORV_TIMELINE_JSON_API __declspec(dllimport)
#  endif
#else
#  define ORV_TIMELINE_JSON_API __attribute__((visibility("default")))
#endif
