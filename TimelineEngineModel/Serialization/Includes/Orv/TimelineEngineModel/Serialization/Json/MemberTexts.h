#pragma once

#include <Orv/TimelineEngineModel/MediaInfo.h>
#include <Orv/TimelineEngineModel/Serialization/Json/Export.h>
#include <Orv/TimelineEngineModel/Timeline.h>
#include <Orv/TimelineEngineModel/Track.h>
#include <Orv/TimelineEngineModel/TrackItem.h>
#include <Orv/TimelineEngineModel/TransitionEffect.h>

#include <string>
#include <vector>

namespace Orv::TimelineEngineModel::Serialization::Json {

// One member of an object as the JSON form spells it: its key and the text
// its value is written as ("1500" for the integer 1500).
struct MemberText {
    const char* key;  // lives as long as the program
    std::string text;
};

// The scalar members of an object, in the order the writer writes them, each
// with the text it is written as, also those the writer leaves out for
// holding their default ("", "0", "Unknown"). A track item's list begins
// with "_type"; a transition item's holds its effect's members in their
// place. Lists (tracks, items, media infos) are not among them. Tools that
// compare or show objects member by member take them from here, so that
// they follow the format as the writers and readers do.
ORV_TIMELINE_JSON_API std::vector<MemberText> MemberTextsOf(const Timeline& timeline);
ORV_TIMELINE_JSON_API std::vector<MemberText> MemberTextsOf(const Track& track);
// Nothing for an item of a kind the format does not know.
ORV_TIMELINE_JSON_API std::vector<MemberText> MemberTextsOf(const TrackItem& item);
ORV_TIMELINE_JSON_API std::vector<MemberText> MemberTextsOf(const MediaInfo& mediaInfo);
ORV_TIMELINE_JSON_API std::vector<MemberText> MemberTextsOf(const TransitionEffect& effect);

}  // namespace Orv::TimelineEngineModel::Serialization::Json
