#pragma once

// A timeline drawn as an SVG picture, for `render`.

#include <Orv/TimelineEngineModel/Timeline.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace OrvTool {

// The whole SVG document, `width` pixels wide (at least 300), as tall as the
// tracks need: a time axis, one lane per track, and a legend.
// - A media summary item is a box over its video in point and duration,
//   coloured by its media asset, with a thin band below for its audio in
//   point and duration where they differ from the video's.
// - An item with no timing (video duration 0) is a dashed box of a nominal
//   length, laid right after the item before it in its track.
// - A transition item is marked between the items around it, with its
//   effect type and duration; its effect's offset and duration are shaded.
// Every item drawn on its own is one element of class "item" holding a
// <title> with its description (texts escaped and cut at a couple of hundred
// bytes); labels are shortened to fit. Media summary items too close to tell
// apart, and more than two transitions marked within a pixel, are drawn
// together as one element of class "run" whose <title> starts with their
// number, so the picture's size follows its width and the tracks, not the
// items. Entries without an item are left out.
//
// A view narrows the picture to a time range and some tracks; the time axis
// then spans the range, the heading adds what is shown, and each media
// asset keeps the colour it has in the whole timeline's picture.
struct PictureView {
    // The range, in the timeline's time units (from < to when both are
    // given); an end not given is where the drawn items reach. A media
    // summary item is drawn when its video box or audio band overlaps the
    // range (touching an end is not overlapping), cut at its ends; a
    // transition when it is marked within the range, ends included.
    std::optional<std::int64_t> from;
    std::optional<std::int64_t> to;
    // Indices of the tracks drawn, ascending, without repeats; all when empty.
    std::vector<std::size_t> tracks;
};

std::string DrawTimeline(const Orv::TimelineEngineModel::Timeline& timeline, double width,
                         const PictureView& view = PictureView());

}  // namespace OrvTool
