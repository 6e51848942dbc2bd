#include "Support/ModelBuilders.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

using namespace Orv::Testing;

TEST(TrackTest, Defaults) {
    const Track track;
    EXPECT_EQ(track.Id(), Identifier::Empty());
    EXPECT_EQ(track.GetType(), TrackType::Summary);
    EXPECT_TRUE(track.TrackItems().empty());

    const Track named(Identifier("trk"));
    EXPECT_EQ(named.Id(), Identifier("trk"));
    EXPECT_EQ(named.GetType(), TrackType::Summary);
    EXPECT_TRUE(named.TrackItems().empty());
}

TEST(TrackTest, CopiesShareTheirItems) {
    int live = 0;
    {
        std::optional<Track> first(std::in_place, Identifier("t"));
        first->TrackItems().push_back(std::make_shared<CountedItem>(live));  // the track's own list
        first->TrackItems().push_back(std::make_shared<CountedItem>(live));
        ASSERT_EQ(first->TrackItems().size(), 2u);
        EXPECT_EQ(live, 2);

        std::optional<Track> second(*first);
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(second->TrackItems()[i].get(), first->TrackItems()[i].get());
            EXPECT_EQ(first->TrackItems()[i].use_count(), 2);
        }
        second->TrackItems()[0]->Id(Identifier("seen through both"));
        EXPECT_EQ(first->TrackItems()[0]->Id(), Identifier("seen through both"));

        first.reset();
        EXPECT_EQ(live, 2);
        EXPECT_EQ(second->TrackItems()[0].use_count(), 1);

        Track replaced;
        replaced.TrackItems(second->TrackItems());  // replaces the list, shares the items
        EXPECT_EQ(replaced.TrackItems()[1].get(), second->TrackItems()[1].get());
        second.reset();
        EXPECT_EQ(live, 2);
    }
    EXPECT_EQ(live, 0);
}

TEST(TrackTest, EqualityComparesEntryByEntry) {
    struct Case {
        const char* name;
        TrackItemArray lhs, rhs;
        bool equal;
    };
    const auto shared = Summary("s");
    const Case cases[] = {
        {"both empty lists", {}, {}, true},
        {"the same pointers", {shared}, {shared}, true},
        {"distinct equal items", {Summary("a"), Summary("b")}, {Summary("a"), Summary("b")}, true},
        {"two entries without item", {nullptr}, {nullptr}, true},
        {"empty entry vs item", {nullptr}, {Summary("a")}, false},
        {"item vs empty entry", {Summary("a")}, {nullptr}, false},
        {"different items", {Summary("a")}, {Summary("b")}, false},
        {"different order", {Summary("a"), Summary("b")}, {Summary("b"), Summary("a")}, false},
        {"different lengths", {Summary("a")}, {Summary("a"), Summary("a")}, false},
        {"different kinds", {Summary("a")}, {Audio("a")}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Track lhs(Identifier("t"));
        Track rhs(Identifier("t"));
        lhs.TrackItems(c.lhs);
        rhs.TrackItems(c.rhs);
        EXPECT_EQ(lhs == rhs, c.equal);
        EXPECT_EQ(rhs == lhs, c.equal);
        EXPECT_EQ(lhs != rhs, !c.equal);
    }
    EXPECT_FALSE(Track(Identifier("a")) == Track(Identifier("b")));
    EXPECT_TRUE(Track(Identifier::Empty()) == Track());
}

TEST(TimelineTest, Defaults) {
    const Timeline timeline;
    EXPECT_EQ(timeline.Id(), Identifier::Empty());
    EXPECT_EQ(timeline.TransactionId(), Identifier::Empty());
    EXPECT_EQ(timeline.Duration(), 0);
    EXPECT_TRUE(timeline.Tracks().empty());
    EXPECT_TRUE(timeline.MediaInfos().empty());

    Timeline named(Identifier("tl"));
    EXPECT_EQ(named.Id(), Identifier("tl"));
    EXPECT_EQ(named.TransactionId(), Identifier::Empty());
    EXPECT_EQ(named.Duration(), 0);
    EXPECT_TRUE(named == [] {
        Timeline t;
        t.Id(Identifier("tl"));
        return t;
    }());
}

TEST(TimelineTest, EqualityComparesEveryMember) {
    Timeline base(Identifier("tl"));
    base.TransactionId(Identifier("tx"));
    base.Duration(1500);
    base.Tracks({Track(Identifier("t1"))});
    base.Tracks()[0].TrackItems().push_back(Summary("i"));
    base.MediaInfos({MediaInfo(Identifier("m"), 0, 250, "")});

    ExpectEachChangeBreaksEquality(base, {
        {"id", [](Timeline& t) { t.Id(Identifier("tl2")); }},
        {"transactionId", [](Timeline& t) { t.TransactionId(Identifier::Empty()); }},
        {"duration", [](Timeline& t) { t.Duration(-1500); }},
        {"track id", [](Timeline& t) { t.Tracks()[0].Id(Identifier("t2")); }},
        {"extra track", [](Timeline& t) { t.Tracks().push_back(Track()); }},
        {"no tracks", [](Timeline& t) { t.Tracks({}); }},
        {"item replaced", [](Timeline& t) { t.Tracks()[0].TrackItems()[0] = Summary("j"); }},
        {"item emptied", [](Timeline& t) { t.Tracks()[0].TrackItems()[0].reset(); }},
        {"media info", [](Timeline& t) { t.MediaInfos()[0].Channels("L"); }},
        {"extra media info", [](Timeline& t) { t.MediaInfos().push_back(MediaInfo()); }},
    });
    // Items are compared by value, not by address.
    Timeline other = base;
    other.Tracks()[0].TrackItems()[0] = Summary("i");
    EXPECT_TRUE(base == other);
}

}  // namespace
