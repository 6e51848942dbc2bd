#pragma once

#include <Orv/TimelineEngineModel/Timeline.h>
#include <Orv/TimelineEngineModel/TransitionEffect.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <random>
#include <string>

namespace Orv::Testing {

// The size and flavour of a generated timeline.
struct TimelineShape {
    std::size_t tracks = 3;
    std::size_t itemsPerTrack = 20;
    std::size_t mediaInfos = 5;
    // Share of items that are transitions (audio and video alike).
    double transitionShare = 0.25;
    // Share of items that are taken over from an earlier track (the same
    // shared_ptr), as when tracks share their items.
    double sharedShare = 0.05;
    // Texts (identifiers, configs, channels) of any byte but NUL: quotes,
    // backslashes, control characters, bytes above 0x7F.
    bool awkwardTexts = false;
    // With awkwardTexts: the share of texts made awkward, and the longest
    // awkward text.
    double awkwardShare = 0.5;
    std::size_t awkwardLength = 24;
    // Integers anywhere in the int64_t range, its ends and 0 included, rather
    // than the small positive values of a real edit.
    bool extremeIntegers = false;
    // Leave some identifiers and integers empty or zero, so that the
    // omission rules are exercised.
    bool sparse = true;
    // Identifiers as 36-character UUID texts, as real documents hold, rather
    // than short names. Each is derived from the name it replaces, so an item
    // still names the media asset of a media info; the random sequence, and so
    // everything else about the timeline, is the same as without.
    bool uuidIdentifiers = false;
};

// Deterministic random timelines: the same seed and shape give the same
// timeline on every run. Texts never hold a NUL character, so a generated
// timeline survives writing and reading unchanged.
class TimelineGenerator {
public:
    explicit TimelineGenerator(std::uint64_t seed) : engine(seed) {}

    TimelineEngineModel::Timeline Timeline(const TimelineShape& shape);
    TimelineEngineModel::Track Track(const TimelineShape& shape, std::size_t trackIndex);
    std::shared_ptr<TimelineEngineModel::TrackItem> Item(const TimelineShape& shape, std::size_t itemIndex);
    TimelineEngineModel::MediaInfo MediaInfo(const TimelineShape& shape, std::size_t index);
    TimelineEngineModel::TransitionEffect Effect(const TimelineShape& shape);

private:
    std::string Text(const TimelineShape& shape, const std::string& plain);
    BusinessEntityModel::BaseTypes::Identifier Id(const TimelineShape& shape, const std::string& name);
    std::string AwkwardText(std::size_t maxLength);
    int64_t Integer(const TimelineShape& shape, int64_t plainMax);
    bool Chance(double share);
    std::size_t Below(std::size_t bound);

    std::mt19937_64 engine;
};

// Shorthand for one timeline from a seed.
TimelineEngineModel::Timeline GenerateTimeline(std::uint64_t seed, const TimelineShape& shape = {});

}  // namespace Orv::Testing
