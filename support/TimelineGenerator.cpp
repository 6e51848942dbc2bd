#include "TimelineGenerator.h"

#include <Orv/TimelineEngineModel/FxAudioTransitionItem.h>
#include <Orv/TimelineEngineModel/FxVideoTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>

#include <limits>
#include <vector>

namespace Orv::Testing {

using namespace Orv::TimelineEngineModel;
using Orv::BusinessEntityModel::BaseTypes::Identifier;

bool TimelineGenerator::Chance(double share) {
    return std::uniform_real_distribution<double>(0.0, 1.0)(engine) < share;
}

std::size_t TimelineGenerator::Below(std::size_t bound) {
    return bound == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, bound - 1)(engine);
}

std::string TimelineGenerator::AwkwardText(std::size_t maxLength) {
    // Mostly the bytes that need care in JSON, mixed with plain letters.
    static const std::string special = "\"\\/\b\f\n\r\t\x01\x1f\x7f\x80\xff\xc3\xa9\xe2\x82\xac{}[]:,";
    std::string text(Below(maxLength + 1), ' ');
    for (char& c : text) {
        switch (Below(3)) {
            case 0:
                c = special[Below(special.size())];
                break;
            case 1:
                c = static_cast<char>(1 + Below(255));  // any byte but NUL
                break;
            default:
                c = static_cast<char>('a' + Below(26));
                break;
        }
    }
    return text;
}

std::string TimelineGenerator::Text(const TimelineShape& shape, const std::string& plain) {
    if (shape.sparse && Chance(0.05)) {
        return std::string();
    }
    if (shape.awkwardTexts && Chance(shape.awkwardShare)) {
        return AwkwardText(shape.awkwardLength);
    }
    return plain;
}

namespace {
// A version-4 UUID text (lower-case) made from the 128 bits of two FNV-1a
// hashes of `name`, each mixed by MurmurHash3's finalizer so that similar
// names give unlike UUIDs: the same name gives the same UUID on every platform.
std::string UuidOf(const std::string& name) {
    std::uint64_t halves[2] = {0xcbf29ce484222325u, 0x84222325cbf29ce4u};
    for (std::uint64_t& hash : halves) {
        for (const char c : name) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
        }
        hash = (hash ^ (hash >> 33)) * 0xff51afd7ed558ccdu;
        hash = (hash ^ (hash >> 33)) * 0xc4ceb9fe1a85ec53u;
        hash ^= hash >> 33;
    }
    static const char hex[] = "0123456789abcdef";
    std::string text;
    for (int nibble = 0; nibble < 32; ++nibble) {
        if (nibble == 8 || nibble == 12 || nibble == 16 || nibble == 20) {
            text += '-';
        }
        const unsigned value = (halves[nibble / 16] >> (4 * (nibble % 16))) & 0xF;
        text += hex[nibble == 12 ? 4 : nibble == 16 ? 8 + (value & 3) : value];
    }
    return text;
}
}  // namespace

Identifier TimelineGenerator::Id(const TimelineShape& shape, const std::string& name) {
    std::string text = Text(shape, name);
    return Identifier(shape.uuidIdentifiers && text == name ? UuidOf(name) : std::move(text));
}

int64_t TimelineGenerator::Integer(const TimelineShape& shape, int64_t plainMax) {
    if (shape.sparse && Chance(0.05)) {
        return 0;
    }
    if (shape.extremeIntegers) {
        switch (Below(6)) {
            case 0:
                return std::numeric_limits<int64_t>::min();
            case 1:
                return std::numeric_limits<int64_t>::max();
            case 2:
                return -static_cast<int64_t>(Below(1000));
            case 3:
                return static_cast<int64_t>(engine());  // anywhere in the range
            default:
                break;
        }
    }
    return static_cast<int64_t>(Below(static_cast<std::size_t>(plainMax) + 1));
}

TransitionEffect TimelineGenerator::Effect(const TimelineShape& shape) {
    static const EffectType types[] = {EffectType::Unknown, EffectType::Cut, EffectType::Mix};
    const EffectType type = types[Below(3)];
    const int64_t offset = Integer(shape, 50);
    const int64_t duration = Integer(shape, 100);
    std::string config = Chance(0.5) ? Text(shape, "{\"curve\":\"linear\"}") : std::string();
    return TransitionEffect(type, offset, duration, std::move(config));
}

std::shared_ptr<TrackItem> TimelineGenerator::Item(const TimelineShape& shape, std::size_t itemIndex) {
    const Identifier id = Id(shape, "item-" + std::to_string(itemIndex));
    if (Chance(shape.transitionShare)) {
        std::shared_ptr<FxTransitionItem> item;
        if (Chance(0.5)) {
            item = std::make_shared<FxAudioTransitionItem>(id);
        } else {
            item = std::make_shared<FxVideoTransitionItem>(id);
        }
        item->FxTransition(Effect(shape));
        return item;
    }
    auto item = std::make_shared<MediaSummaryItem>(id);
    item->VideoIn(Integer(shape, 100000));
    item->VideoDuration(Integer(shape, 5000));
    item->AudioIn(Integer(shape, 100000));
    item->AudioDuration(Integer(shape, 5000));
    item->MediaAssetId(Id(shape, "asset-" + std::to_string(Below(1000))));
    item->MediaVideoIn(Integer(shape, 100000));
    item->MediaVideoDuration(Integer(shape, 5000));
    item->MediaAudioIn(Integer(shape, 100000));
    item->MediaAudioDuration(Integer(shape, 5000));
    item->AudioLevel(Integer(shape, 100));
    item->MonitoringChannel(Integer(shape, 16));
    return item;
}

TimelineEngineModel::Track TimelineGenerator::Track(const TimelineShape& shape, std::size_t trackIndex) {
    TimelineEngineModel::Track track(Id(shape, "track-" + std::to_string(trackIndex)));
    track.TrackItems().reserve(shape.itemsPerTrack);
    for (std::size_t i = 0; i < shape.itemsPerTrack; ++i) {
        track.TrackItems().push_back(Item(shape, trackIndex * shape.itemsPerTrack + i));
    }
    return track;
}

TimelineEngineModel::MediaInfo TimelineGenerator::MediaInfo(const TimelineShape& shape, std::size_t index) {
    return TimelineEngineModel::MediaInfo(Id(shape, "asset-" + std::to_string(index)),
                                          Integer(shape, 1000), Integer(shape, 100000),
                                          Chance(0.7) ? Text(shape, "L,R") : std::string());
}

TimelineEngineModel::Timeline TimelineGenerator::Timeline(const TimelineShape& shape) {
    TimelineEngineModel::Timeline timeline(Id(shape, "timeline-" + std::to_string(Below(1u << 20))));
    timeline.TransactionId(Id(shape, "tx-" + std::to_string(Below(1u << 20))));
    timeline.Duration(Integer(shape, 1000000));
    auto& tracks = timeline.Tracks();
    tracks.reserve(shape.tracks);
    for (std::size_t t = 0; t < shape.tracks; ++t) {
        tracks.push_back(Track(shape, t));
        // Let some items of this track be the very items of an earlier one.
        if (t == 0) {
            continue;
        }
        for (auto& entry : tracks.back().TrackItems()) {
            if (Chance(shape.sharedShare)) {
                const auto& earlier = tracks[Below(t)].TrackItems();
                if (!earlier.empty()) {
                    entry = earlier[Below(earlier.size())];
                }
            }
        }
    }
    auto& mediaInfos = timeline.MediaInfos();
    mediaInfos.reserve(shape.mediaInfos);
    for (std::size_t m = 0; m < shape.mediaInfos; ++m) {
        mediaInfos.push_back(MediaInfo(shape, m));
    }
    return timeline;
}

TimelineEngineModel::Timeline GenerateTimeline(std::uint64_t seed, const TimelineShape& shape) {
    return TimelineGenerator(seed).Timeline(shape);
}

}  // namespace Orv::Testing
