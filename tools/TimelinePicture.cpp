#include "TimelinePicture.h"

#include "Documents.h"
#include "SvgWriter.h"

#include <Orv/TimelineEngineModel/FxTransitionItem.h>
#include <Orv/TimelineEngineModel/MediaSummaryItem.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <set>
#include <string_view>
#include <vector>

namespace OrvTool {

namespace {

namespace Model = Orv::TimelineEngineModel;
// The layout, in pixels.
constexpr double kMargin = 12;
constexpr double kRightMargin = 28;  // room for half the last tick label
constexpr double kLabelColumn = 150;  // the track names
constexpr double kAxisLine = 58;
constexpr double kLanesTop = 64;
constexpr double kLaneHeight = 72;
constexpr double kBoxTop = 8;  // within a lane
constexpr double kBoxHeight = 26;
constexpr double kAudioTop = 37;
constexpr double kAudioHeight = 6;
constexpr double kFxLabelRows[] = {56, 67};  // baselines of the transition labels
// Estimated widths of a character of 10 px text: a little above the average
// Latin glyph, and enough for the wider ones (U+FFFD, CJK) elsewhere.
constexpr double kCharacterWidth = 6;
constexpr double kWideCharacterWidth = 10;
constexpr double kSmallestBox = 1.5;
constexpr double kLegendRow = 22;
// Items with no timing get this share of the timed extent.
constexpr double kNominalShare = 1.0 / 30;

const char* const kPalette[] = {"#4e79a7", "#f28e2b", "#59a14f", "#b07aa1",
                                "#76b7b2", "#edc948", "#ff9da7", "#9c755f"};
constexpr std::size_t kPaletteSize = sizeof kPalette / sizeof kPalette[0];
const char* const kNoAssetColour = "#b0b0b0";
const char* const kRunColour = "#8c8c8c";
// The longest texts of the document that labels and tooltips show, in bytes.
constexpr std::size_t kLabelLength = 256;
constexpr std::size_t kTooltipLength = 200;

const char* const kStyle =
    "text{font-family:'DejaVu Sans',Verdana,sans-serif;font-size:10px;fill:#222}"
    ".heading{font-size:13px;font-weight:bold}"
    ".axis,.tick{stroke:#666}.grid{stroke:#e2e2e2}.lane{fill:#f6f6f6}"
    ".tick-label{fill:#555;text-anchor:middle}.track-label{font-size:11px}"
    ".video{stroke:#333;stroke-width:0.6}"
    ".untimed{stroke:#333;stroke-width:0.8;stroke-dasharray:4 2;fill-opacity:0.35}"
    ".audio{fill-opacity:0.75;stroke:#333;stroke-width:0.4}"
    ".fx{stroke:#c0392b;stroke-width:1.4}.fx-mark{fill:#c0392b}.fx-span{fill:#c0392b;fill-opacity:0.18}"
    ".fx-label{fill:#a93226;font-size:9px;text-anchor:middle}"
    ".duration{stroke:#555;stroke-dasharray:6 3}.muted{fill:#777}";

// Where one track item goes, in the document's time units.
struct Placed {
    const Model::TrackItem* item = nullptr;
    bool transition = false;
    bool timed = true;
    double start = 0;  // media summary item: the video box
    double end = 0;
    bool audioBand = false;
    double audioStart = 0;
    double audioEnd = 0;
    double cut = 0;  // transition: where it is marked
};

// Media summary items that share a stretch of a lane too narrow to show
// them apart, drawn as one shape: start and end in time units.
struct Run {
    double start = 0;
    double end = 0;
    std::size_t count = 0;
};

struct Lane {
    const Model::Track* track = nullptr;
    std::vector<Placed> items;
    // Set by Thin(): the media summary items drawn each on its own (by
    // index into `items`), and the runs the others form.
    std::vector<std::size_t> shown;
    std::vector<Run> runs;
};

struct Scale {
    double t0 = 0;
    double t1 = 1;
    double left = 0;
    double width = 1;

    double X(double t) const {
        const double x = left + (t - t0) / (t1 - t0) * width;
        return std::clamp(x, left - 1, left + width + 1);
    }
};

const Model::MediaSummaryItem& Summary(const Placed& placed) {
    return static_cast<const Model::MediaSummaryItem&>(*placed.item);
}

const Model::TransitionEffect& Effect(const Placed& placed) {
    return static_cast<const Model::FxTransitionItem&>(*placed.item).FxTransition();
}

std::string Decimal(std::int64_t value) {
    return std::to_string(value);
}

// Sums of two 64-bit integers can leave their range; positions are doubles.
void Span(std::int64_t in, std::int64_t duration, double& start, double& end) {
    const double a = static_cast<double>(in);
    const double b = a + static_cast<double>(duration);
    start = std::min(a, b);
    end = std::max(a, b);
}

// Places the media summary items that have timing and measures the extent
// of everything timed, the timeline's duration and zero included.
std::vector<Lane> PlaceTimed(const Model::Timeline& timeline, const std::vector<std::size_t>& tracks,
                             Scale& scale) {
    std::vector<Lane> lanes;
    scale.t0 = 0;
    scale.t1 = static_cast<double>(std::max<std::int64_t>(timeline.Duration(), 0));
    const auto extend = [&](double start, double end) {
        scale.t0 = std::min(scale.t0, start);
        scale.t1 = std::max(scale.t1, end);
    };
    for (std::size_t t = 0; t < timeline.Tracks().size(); ++t) {
        if (!tracks.empty() && !std::binary_search(tracks.begin(), tracks.end(), t)) {
            continue;
        }
        const Model::Track& track = timeline.Tracks()[t];
        Lane lane;
        lane.track = &track;
        for (const auto& entry : track.TrackItems()) {
            if (!entry) {
                continue;
            }
            Placed placed;
            placed.item = entry.get();
            placed.transition = entry->GetType() != Model::TrackItemType::MediaSummary;
            if (!placed.transition) {
                const auto& item = Summary(placed);
                placed.timed = item.VideoDuration() != 0;
                if (placed.timed) {
                    Span(item.VideoIn(), item.VideoDuration(), placed.start, placed.end);
                    extend(placed.start, placed.end);
                }
                placed.audioBand = item.AudioDuration() != 0 &&
                                   (item.AudioIn() != item.VideoIn() || item.AudioDuration() != item.VideoDuration());
                if (placed.audioBand) {
                    Span(item.AudioIn(), item.AudioDuration(), placed.audioStart, placed.audioEnd);
                    extend(placed.audioStart, placed.audioEnd);
                }
            }
            lane.items.push_back(placed);
        }
        lanes.push_back(std::move(lane));
    }
    return lanes;
}

// Items with no timing follow the item before them (the start of the time
// range for the first), one after the other; transitions go midway between
// the end of the media item before them and the start of the one after.
void PlaceUntimedAndTransitions(std::vector<Lane>& lanes, Scale& scale) {
    const double nominal = std::max((scale.t1 - scale.t0) * kNominalShare, 1.0);
    for (auto& lane : lanes) {
        double cursor = 0;
        for (auto& placed : lane.items) {
            if (placed.transition) {
                continue;
            }
            if (!placed.timed) {
                placed.start = cursor;
                placed.end = cursor + nominal;
                scale.t1 = std::max(scale.t1, placed.end);
            }
            cursor = placed.end;
        }
        std::vector<const Placed*> before(lane.items.size(), nullptr);
        const Placed* last = nullptr;
        for (std::size_t i = 0; i < lane.items.size(); ++i) {
            before[i] = last;
            last = lane.items[i].transition ? last : &lane.items[i];
        }
        const Placed* next = nullptr;
        for (std::size_t i = lane.items.size(); i-- > 0;) {
            Placed& placed = lane.items[i];
            if (!placed.transition) {
                next = &placed;
                continue;
            }
            if (before[i] != nullptr && next != nullptr) {
                placed.cut = (before[i]->end + next->start) / 2;
            } else if (before[i] != nullptr || next != nullptr) {
                placed.cut = before[i] != nullptr ? before[i]->end : next->start;
            }
        }
    }
}

// Narrows the time range to the view's, and keeps in each lane the media
// summary items whose boxes (video, or audio band) overlap it, ends not
// counted, and the transitions marked within it, ends counted.
void ApplyRange(std::vector<Lane>& lanes, Scale& scale, const PictureView& view) {
    if (!view.from && !view.to) {
        return;
    }
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    const double from = view.from ? static_cast<double>(*view.from) : -kInfinity;
    const double to = view.to ? static_cast<double>(*view.to) : kInfinity;
    scale.t0 = view.from ? from : scale.t0;
    scale.t1 = view.to ? to : scale.t1;
    const auto outside = [&](const Placed& placed) {
        if (placed.transition) {
            return placed.cut < from || placed.cut > to;
        }
        const double start = placed.audioBand ? std::min(placed.start, placed.audioStart) : placed.start;
        const double end = placed.audioBand ? std::max(placed.end, placed.audioEnd) : placed.end;
        return start >= to || end <= from;
    };
    for (auto& lane : lanes) {
        lane.items.erase(std::remove_if(lane.items.begin(), lane.items.end(), outside), lane.items.end());
    }
}

// Keeps the picture's size to its pixels, whatever the number of items. A
// media summary item at least a pixel wide is drawn on its own, up to one
// such item per pixel of the lane's width; the others, sorted by start,
// join a run with those whose boxes (at least kSmallestBox wide) come
// within a pixel of each other. A run of one item is drawn as that item.
// Runs lie more than a pixel apart, so a lane holds at most one per pixel.
void Thin(Lane& lane, const Scale& scale) {
    const std::size_t budget = static_cast<std::size_t>(std::ceil(scale.width));
    std::vector<std::size_t> narrow;
    for (std::size_t i = 0; i < lane.items.size(); ++i) {
        const Placed& placed = lane.items[i];
        if (placed.transition) {
            continue;
        }
        if (scale.X(placed.end) - scale.X(placed.start) >= 1 && lane.shown.size() < budget) {
            lane.shown.push_back(i);
        } else {
            narrow.push_back(i);
        }
    }
    std::stable_sort(narrow.begin(), narrow.end(),
                     [&](std::size_t a, std::size_t b) { return lane.items[a].start < lane.items[b].start; });
    const auto boxEnd = [&](const Placed& placed) {
        return std::max(scale.X(placed.end), scale.X(placed.start) + kSmallestBox);
    };
    for (std::size_t first = 0; first < narrow.size();) {
        const Placed& head = lane.items[narrow[first]];
        Run run{head.start, head.end, 1};
        double right = boxEnd(head);
        std::size_t next = first + 1;
        for (; next < narrow.size() && scale.X(lane.items[narrow[next]].start) <= right + 1; ++next) {
            const Placed& placed = lane.items[narrow[next]];
            run.end = std::max(run.end, placed.end);
            right = std::max(right, boxEnd(placed));
            ++run.count;
        }
        if (run.count == 1) {
            lane.shown.push_back(narrow[first]);
        } else {
            lane.runs.push_back(run);
        }
        first = next;
    }
    std::sort(lane.shown.begin(), lane.shown.end());  // document order
}

// A text of the document as a one-line label: printable (controls and
// bidirectional marks escaped) and valid XML text, cut long before it could
// fill the widest picture.
std::string Label(const std::string& bytes) {
    return ValidXmlText(PrintableText(bytes, kLabelLength));
}

double CharacterWidth(const std::string& label) {
    const bool ascii = std::all_of(label.begin(), label.end(), [](char c) { return (c & 0x80) == 0; });
    return ascii ? kCharacterWidth : kWideCharacterWidth;
}

double TextWidth(const std::string& label) {
    return static_cast<double>(CharacterCount(label)) * CharacterWidth(label);
}

// The label shortened to fit `room` pixels of 10 px text.
std::string FitLabel(const std::string& label, double room) {
    return ShortenText(label, static_cast<std::size_t>(std::max(room, 0.0) / CharacterWidth(label)));
}

// Axis labels: exact for ordinary values, three digits for huge ones.
std::string TimeText(double t) {
    t = t == 0 ? 0 : t;  // no "-0"
    char text[64];
    std::snprintf(text, sizeof text, std::fabs(t) < 1e15 ? "%.0f" : "%.3g", t);
    return text;
}

// The tick spacing: 1, 2 or 5 times a power of ten, leaving room for the
// widest label between ticks.
double TickStep(const Scale& scale) {
    const std::size_t widest = std::max(TimeText(scale.t0).size(), TimeText(scale.t1).size());
    const double spacing = std::max(56.0, static_cast<double>(widest) * kCharacterWidth + 16);
    const double least = std::max((scale.t1 - scale.t0) * spacing / scale.width, 1.0);
    const double power = std::pow(10.0, std::floor(std::log10(least)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= least) {
            return factor * power;
        }
    }
    return 10 * power;
}

// One legend entry: a swatch and its text, placed in rows.
struct LegendEntry {
    enum class Swatch { Video, Audio, Untimed, Transition, Duration, Run, Asset, None } swatch;
    std::string text;
    std::string colour;
    bool newRow = false;  // starts a row of its own
    double x = 0;
    std::size_t row = 0;
};

class TimelinePicture {
public:
    TimelinePicture(const Model::Timeline& timeline, double width, const PictureView& view)
        : timeline(timeline),
          view(view),
          width(std::max(width, 300.0)),
          lanes(LayOut(timeline, this->width, view, scale)),
          lanesBottom(kLanesTop + kLaneHeight * static_cast<double>(lanes.size())),
          assetColours(ColourAssets(timeline)),
          legend(LayOutLegend()),
          svg(this->width, lanesBottom + 36 + kLegendRow * static_cast<double>(legend.back().row + 1)) {}

    std::string Draw() {
        svg.Element("title", {}, Heading());
        svg.Element("style", {}, kStyle);
        svg.Element("rect", {{"width", "100%"}, {"height", "100%"}, {"fill", "#fff"}});
        svg.Element("text", {{"class", "heading"}, {"x", Px(kMargin)}, {"y", "20"}},
                    FitLabel(ValidXmlText(Heading()), (width - 2 * kMargin) / 1.3));  // 13 px bold
        for (std::size_t i = 0; i < lanes.size(); ++i) {
            svg.Element("rect", {{"class", "lane"}, {"x", "0"}, {"y", Px(LaneTop(i) + 2)}, {"width", Px(width)},
                                 {"height", Px(kLaneHeight - 4)}});
        }
        DrawAxis();
        for (std::size_t i = 0; i < lanes.size(); ++i) {
            DrawLane(lanes[i], LaneTop(i));
        }
        DrawDuration();
        DrawLegend(lanesBottom + 36);
        return svg.Finish();
    }

private:
    static std::vector<Lane> LayOut(const Model::Timeline& timeline, double width, const PictureView& view,
                                    Scale& scale) {
        std::vector<Lane> lanes = PlaceTimed(timeline, view.tracks, scale);
        PlaceUntimedAndTransitions(lanes, scale);
        ApplyRange(lanes, scale, view);
        scale.left = kLabelColumn;
        scale.width = width - kLabelColumn - kRightMargin;
        if (scale.t1 <= scale.t0) {
            scale.t1 = scale.t0 + 1;
        }
        for (auto& lane : lanes) {
            Thin(lane, scale);
        }
        return lanes;
    }

    static std::string Px(double value) { return SvgWriter::Number(value); }
    static double LaneTop(std::size_t index) { return kLanesTop + kLaneHeight * static_cast<double>(index); }

    static std::string Counts(std::size_t tracks, std::size_t items) {
        return std::to_string(tracks) + (tracks == 1 ? " track, " : " tracks, ") + std::to_string(items) +
               (items == 1 ? " item" : " items");
    }

    // The timeline's counts, entries without an item left out, and with a
    // view the counts of what is drawn and its time range.
    std::string Heading() const {
        std::string heading = "timeline " + QuotedText(timeline.Id().Value());
        if (!timeline.TransactionId().Value().empty()) {
            heading += " (transaction " + QuotedText(timeline.TransactionId().Value()) + ")";
        }
        std::size_t items = 0;
        for (const auto& track : timeline.Tracks()) {
            const auto& entries = track.TrackItems();
            items += static_cast<std::size_t>(std::count_if(entries.begin(), entries.end(),
                                                            [](const auto& entry) { return entry != nullptr; }));
        }
        heading += ": " + Counts(timeline.Tracks().size(), items) + ", duration " + Decimal(timeline.Duration());
        if (view.tracks.empty() && !view.from && !view.to) {
            return heading;
        }
        std::size_t shown = 0;
        for (const auto& lane : lanes) {
            shown += lane.items.size();
        }
        heading += "; shown: " + Counts(lanes.size(), shown);
        if (view.from || view.to) {
            heading += ",";
        }
        heading += view.from ? " from " + Decimal(*view.from) : "";
        return heading + (view.to ? " to " + Decimal(*view.to) : "");
    }

    void DrawAxis() {
        svg.Open("g", {{"class", "time-axis"}});
        svg.Element("line", {{"class", "axis"}, {"x1", Px(scale.left)}, {"y1", Px(kAxisLine)},
                             {"x2", Px(scale.left + scale.width)}, {"y2", Px(kAxisLine)}});
        const double step = TickStep(scale);
        const double first = std::ceil(scale.t0 / step) * step;
        for (double tick = 0, t = first; t <= scale.t1 && tick < 1000; t = first + ++tick * step) {
            const std::string x = Px(scale.X(t));
            svg.Element("line",
                        {{"class", "grid"}, {"x1", x}, {"y1", Px(kAxisLine)}, {"x2", x}, {"y2", Px(lanesBottom)}});
            svg.Element("line",
                        {{"class", "tick"}, {"x1", x}, {"y1", Px(kAxisLine - 5)}, {"x2", x}, {"y2", Px(kAxisLine)}});
            svg.Element("text", {{"class", "tick-label"}, {"x", x}, {"y", Px(kAxisLine - 8)}}, TimeText(t));
        }
        svg.Close();
    }

    void DrawLane(const Lane& lane, double top) {
        const std::string& id = lane.track->Id().Value();
        svg.Open("g", {{"class", "track"}});
        svg.Element("title", {}, "track " + QuotedText(id, kTooltipLength) + ": " + std::to_string(lane.items.size()) +
                                    (lane.items.size() == 1 ? " item" : " items"));
        if (id.empty()) {
            svg.Element("text", {{"class", "muted"}, {"x", Px(kMargin)}, {"y", Px(top + 25)}}, "(no id)");
        } else {
            svg.Element("text", {{"class", "track-label"}, {"x", Px(kMargin)}, {"y", Px(top + 25)}},
                        FitLabel(Label(id), (kLabelColumn - 2 * kMargin) / 1.1));  // 11 px
        }
        for (const std::size_t index : lane.shown) {
            DrawSummary(lane.items[index], id, top);
        }
        for (const Run& run : lane.runs) {
            DrawRun(run, top);
        }
        DrawTransitions(lane, top);
        svg.Close();
    }

    void DrawSummary(const Placed& placed, const std::string& trackId, double top) {
        const auto& item = Summary(placed);
        const std::string colour = AssetColour(item.MediaAssetId().Value());
        const double x = scale.X(placed.start);
        const double w = std::max(scale.X(placed.end) - x, kSmallestBox);
        svg.Open("g", {{"class", "item"}});
        svg.Element("title", {}, SummaryDescription(placed));
        svg.Element("rect", {{"class", placed.timed ? "video" : "untimed"}, {"x", Px(x)}, {"y", Px(top + kBoxTop)},
                             {"width", Px(w)}, {"height", Px(kBoxHeight)}, {"fill", colour}});
        if (placed.audioBand) {
            const double ax = scale.X(placed.audioStart);
            svg.Element("rect", {{"class", "audio"}, {"x", Px(ax)}, {"y", Px(top + kAudioTop)},
                                 {"width", Px(std::max(scale.X(placed.audioEnd) - ax, kSmallestBox))},
                                 {"height", Px(kAudioHeight)}, {"fill", colour}});
        }
        const std::string label = FitLabel(ItemLabel(item.Id().Value(), trackId), w - 6);
        if (CharacterCount(label) >= 3) {
            svg.Element("text", {{"x", Px(x + 3)}, {"y", Px(top + kBoxTop + 17)}}, label);
        }
        svg.Close();
    }

    void DrawRun(const Run& run, double top) {
        const double x = scale.X(run.start);
        svg.Open("g", {{"class", "run"}});
        svg.Element("title", {}, std::to_string(run.count) + " media summary items, " + TimeText(run.start) + " to " +
                                     TimeText(run.end));
        svg.Element("rect", {{"class", "video"}, {"x", Px(x)}, {"y", Px(top + kBoxTop)},
                             {"width", Px(std::max(scale.X(run.end) - x, kSmallestBox))}, {"height", Px(kBoxHeight)},
                             {"fill", kRunColour}});
        svg.Close();
    }

    // Transitions marked less than a pixel apart one after the other: one
    // shaded stretch from the first to the last, with a mark at its start.
    void DrawTransitionRun(const std::vector<const Placed*>& group, double top) {
        const double x = scale.X(group.front()->cut);
        svg.Open("g", {{"class", "run"}});
        svg.Element("title", {}, std::to_string(group.size()) + " transitions, marked from " +
                                     TimeText(group.front()->cut) + " to " + TimeText(group.back()->cut));
        svg.Element("rect", {{"class", "fx-span"}, {"x", Px(x)}, {"y", Px(top + kBoxTop - 4)},
                             {"width", Px(std::max(scale.X(group.back()->cut) - x, kSmallestBox))},
                             {"height", Px(kBoxHeight + 8)}});
        svg.Element("path", {{"class", "fx-mark"}, {"d", Diamond(x, top + kBoxTop)}});
        svg.Close();
    }

    // A transition's label goes into the first of the two label rows where
    // it does not overlap the one before; with no room it is left out (the
    // tooltip still has it).
    void DrawTransitions(const Lane& lane, double top) {
        std::vector<const Placed*> transitions;
        for (const auto& placed : lane.items) {
            if (placed.transition) {
                transitions.push_back(&placed);
            }
        }
        std::stable_sort(transitions.begin(), transitions.end(),
                         [](const Placed* a, const Placed* b) { return a->cut < b->cut; });
        double rowEnd[] = {-1e9, -1e9};
        std::vector<const Placed*> group;
        for (std::size_t i = 0; i < transitions.size(); i += group.size()) {
            // Those that follow within a pixel form a group with it: as
            // many as there are label rows are drawn each, more as one mark.
            group.assign(1, transitions[i]);
            while (i + group.size() < transitions.size() &&
                   scale.X(transitions[i + group.size()]->cut) - scale.X(group.back()->cut) < 1) {
                group.push_back(transitions[i + group.size()]);
            }
            if (group.size() > std::size(kFxLabelRows)) {
                DrawTransitionRun(group, top);
                continue;
            }
            group.resize(1);  // the next one starts a group of its own
            const Placed* placed = transitions[i];
            const std::string label = TransitionLabel(Effect(*placed));
            const double x = scale.X(placed->cut);
            const double half = TextWidth(label) * 0.45;  // 9 px
            int row = -1;
            for (int r = 0; r < 2 && row < 0; ++r) {
                if (x - half >= rowEnd[r] + 4) {
                    row = r;
                    rowEnd[r] = x + half;
                }
            }
            DrawTransition(*placed, top, row < 0 ? std::string() : label, row < 0 ? 0 : kFxLabelRows[row]);
        }
    }

    void DrawTransition(const Placed& placed, double top, const std::string& label, double labelRow) {
        const auto& effect = Effect(placed);
        const double x = scale.X(placed.cut);
        svg.Open("g", {{"class", "item"}});
        svg.Element("title", {}, TransitionDescription(placed));
        if (effect.Duration() != 0) {
            double start = 0;
            double end = 0;
            Span(effect.Offset(), effect.Duration(), start, end);
            const double sx = scale.X(placed.cut + start);
            svg.Element("rect", {{"class", "fx-span"}, {"x", Px(sx)}, {"y", Px(top + kBoxTop - 4)},
                                 {"width", Px(std::max(scale.X(placed.cut + end) - sx, kSmallestBox))},
                                 {"height", Px(kBoxHeight + 8)}});
        }
        svg.Element("line", {{"class", "fx"}, {"x1", Px(x)}, {"y1", Px(top + kBoxTop - 4)}, {"x2", Px(x)},
                             {"y2", Px(top + kAudioTop + kAudioHeight + 2)}});
        // On the box's top edge, clear of the labels inside the boxes.
        svg.Element("path", {{"class", "fx-mark"}, {"d", Diamond(x, top + kBoxTop)}});
        if (!label.empty()) {
            svg.Element("text", {{"class", "fx-label"}, {"x", Px(x)}, {"y", Px(top + labelRow)}}, label);
        }
        svg.Close();
    }

    static std::string Diamond(double x, double y) {
        return "M" + Px(x) + " " + Px(y - 6) + "l5 6-5 6-5-6z";
    }

    void DrawDuration() {
        const double duration = static_cast<double>(timeline.Duration());
        if (timeline.Duration() <= 0 || duration < scale.t0 || duration > scale.t1) {
            return;
        }
        const double x = scale.X(duration);
        svg.Element("line", {{"class", "duration"}, {"x1", Px(x)}, {"y1", Px(kAxisLine)}, {"x2", Px(x)},
                             {"y2", Px(lanesBottom + 4)}});
        svg.Element("text", {{"class", "muted"}, {"x", Px(x)}, {"y", Px(lanesBottom + 15)}, {"text-anchor", "end"}},
                    "duration " + Decimal(timeline.Duration()));
    }

    // What the shapes mean, then which colour is which media asset (the
    // first ones, as many as the palette has colours), in rows that wrap at
    // the picture's width.
    std::vector<LegendEntry> LayOutLegend() {
        using Swatch = LegendEntry::Swatch;
        std::vector<LegendEntry> entries = {
            {Swatch::Video, "media summary item", kPalette[0]},
            {Swatch::Audio, "its audio, where it differs", kPalette[0]},
            {Swatch::Untimed, "no timing (video duration 0)", kPalette[0]},
            {Swatch::Transition, "transition: effect, duration", ""},
            {Swatch::Duration, "timeline duration", ""},
        };
        if (std::any_of(lanes.begin(), lanes.end(), [](const Lane& lane) { return !lane.runs.empty(); })) {
            entries.push_back({Swatch::Run, "items too close to tell apart", kRunColour});
        }
        entries.push_back({Swatch::None, "colour: media asset", "", true});
        std::set<std::string_view> listed;  // the first assets drawn, as many as there are colours
        for (std::size_t l = 0; l < lanes.size() && listed.size() < kPaletteSize; ++l) {
            for (const auto& placed : lanes[l].items) {
                if (placed.transition) {
                    continue;
                }
                const std::string& asset = Summary(placed).MediaAssetId().Value();  // the model's, as `listed` keeps
                if (!asset.empty() && listed.size() < kPaletteSize && listed.insert(asset).second) {
                    entries.push_back({Swatch::Asset, FitLabel(Label(asset), 150), AssetColour(asset)});
                }
            }
        }
        if (assetColours.size() > kPaletteSize) {
            entries.push_back(
                {Swatch::None, "(" + std::to_string(assetColours.size()) + " assets, the colours repeat)", ""});
        }
        double x = kMargin;
        std::size_t row = 0;
        for (auto& entry : entries) {
            const double swatch = entry.swatch == Swatch::None ? 0 : 22;
            const double needed = swatch + TextWidth(entry.text);
            if (entry.newRow || (x > kMargin && x + needed > width - kMargin)) {
                row += x > kMargin ? 1 : 0;
                x = kMargin;
            }
            entry.x = x;
            entry.row = row;
            x += needed + 16;
        }
        return entries;
    }

    void DrawLegend(double top) {
        using Swatch = LegendEntry::Swatch;
        svg.Open("g", {{"class", "legend"}});
        for (const auto& entry : legend) {
            const double x = entry.x;
            const double y = top + kLegendRow * static_cast<double>(entry.row);
            switch (entry.swatch) {
                case Swatch::Video:
                case Swatch::Run:
                case Swatch::Untimed:
                case Swatch::Asset:
                    svg.Element("rect", {{"class", entry.swatch == Swatch::Untimed ? "untimed" : "video"},
                                         {"x", Px(x)}, {"y", Px(y - 5)}, {"width", "18"}, {"height", "10"},
                                         {"fill", entry.colour}});
                    break;
                case Swatch::Audio:
                    svg.Element("rect", {{"class", "audio"}, {"x", Px(x)}, {"y", Px(y - 2)}, {"width", "18"},
                                         {"height", "5"}, {"fill", entry.colour}});
                    break;
                case Swatch::Transition:
                    svg.Element("path", {{"class", "fx-mark"}, {"d", Diamond(x + 9, y)}});
                    break;
                case Swatch::Duration:
                    svg.Element("line", {{"class", "duration"}, {"x1", Px(x + 9)}, {"y1", Px(y - 7)},
                                         {"x2", Px(x + 9)}, {"y2", Px(y + 7)}});
                    break;
                case Swatch::None:
                    break;
            }
            const double textX = entry.swatch == Swatch::None ? x : x + 22;
            svg.Element("text", {{"class", entry.swatch == Swatch::None ? "muted" : "legend-text"},
                                 {"x", Px(textX)}, {"y", Px(y + 4)}},
                        entry.text);
        }
        svg.Close();
    }

    // Each media asset's colour, given in the order the assets first appear
    // in the timeline, so that every view of it colours an asset alike.
    static std::map<std::string, const char*> ColourAssets(const Model::Timeline& timeline) {
        std::map<std::string, const char*> colours;
        for (const auto& track : timeline.Tracks()) {
            for (const auto& entry : track.TrackItems()) {
                if (!entry || entry->GetType() != Model::TrackItemType::MediaSummary) {
                    continue;
                }
                const std::string& asset = static_cast<const Model::MediaSummaryItem&>(*entry).MediaAssetId().Value();
                if (!asset.empty() && colours.count(asset) == 0) {
                    colours.emplace(asset, kPalette[colours.size() % kPaletteSize]);
                }
            }
        }
        return colours;
    }

    std::string AssetColour(const std::string& asset) const {
        const auto found = assetColours.find(asset);
        return found == assetColours.end() ? kNoAssetColour : found->second;
    }

    // An item's label leaves out its track's id when it starts with it and a
    // separator ("video-main-clip-01" on track "video-main" reads "clip-01").
    static std::string ItemLabel(const std::string& id, const std::string& trackId) {
        std::string label = id;
        if (!trackId.empty() && id.size() > trackId.size() + 1 && id.compare(0, trackId.size(), trackId) == 0 &&
            std::string("-_.:/ ").find(id[trackId.size()]) != std::string::npos) {
            label = id.substr(trackId.size() + 1);
        }
        return Label(label);
    }

    static std::string TransitionLabel(const Model::TransitionEffect& effect) {
        std::string label = Model::ToString(effect.TransitionEffectType());
        return effect.Duration() != 0 ? label + " " + Decimal(effect.Duration()) : label;
    }

    std::string SummaryDescription(const Placed& placed) const {
        const auto& item = Summary(placed);
        std::string text = std::string(ItemKindName(item)) + " " + QuotedText(item.Id().Value(), kTooltipLength) + "\nvideo in " +
                           Decimal(item.VideoIn()) + ", duration " + Decimal(item.VideoDuration()) + "\naudio in " +
                           Decimal(item.AudioIn()) + ", duration " + Decimal(item.AudioDuration()) +
                           "\nmedia asset " + QuotedText(item.MediaAssetId().Value(), kTooltipLength) + ": video in " +
                           Decimal(item.MediaVideoIn()) + ", duration " + Decimal(item.MediaVideoDuration()) +
                           "; audio in " + Decimal(item.MediaAudioIn()) + ", duration " +
                           Decimal(item.MediaAudioDuration()) + "\naudio level " + Decimal(item.AudioLevel()) +
                           ", monitoring channel " + Decimal(item.MonitoringChannel());
        return placed.timed ? text : text + "\nno timing: drawn after the item before it, at a nominal length";
    }

    std::string TransitionDescription(const Placed& placed) const {
        const auto& effect = Effect(placed);
        return std::string(ItemKindName(*placed.item)) + " " + QuotedText(placed.item->Id().Value(), kTooltipLength) + "\neffect " +
               Model::ToString(effect.TransitionEffectType()) + ", offset " + Decimal(effect.Offset()) +
               ", duration " + Decimal(effect.Duration()) + ", config " + QuotedText(effect.Config(), kTooltipLength) +
               "\nmarked at " + TimeText(placed.cut) + ", between the items around it";
    }

    const Model::Timeline& timeline;
    const PictureView& view;
    double width;
    Scale scale;
    std::vector<Lane> lanes;
    double lanesBottom;
    std::map<std::string, const char*> assetColours;
    std::vector<LegendEntry> legend;
    SvgWriter svg;
};

}  // namespace

std::string DrawTimeline(const Model::Timeline& timeline, double width, const PictureView& view) {
    return TimelinePicture(timeline, width, view).Draw();
}

}  // namespace OrvTool
