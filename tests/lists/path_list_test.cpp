#include "lists/path_list.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "lists/packed_texts.hpp"

namespace gantrylux {
namespace {

using ::testing::ElementsAre;

struct RecordingObserver : PathListObserver {
    std::vector<std::string> events;
    void aboutToAppend(std::size_t f, std::size_t c) override { add("aboutToAppend", f, c); }
    void appended(std::size_t f, std::size_t c) override { add("appended", f, c); }
    void aboutToRemove(std::size_t p) override { add("aboutToRemove", p, 1); }
    void removed(std::size_t p) override { add("removed", p, 1); }
    void aboutToReset() override { events.push_back("aboutToReset"); }
    void reset() override { events.push_back("reset"); }
    void changed(std::size_t f, std::size_t l) override { add("changed", f, l); }
    void add(const char* what, std::size_t a, std::size_t b) {
        events.push_back(std::string(what) + " " + std::to_string(a) + " " + std::to_string(b));
    }
};

PathList ListOf(std::initializer_list<const char*> texts) {
    PathList list;
    for (const char* text : texts) {
        list.append(text);
    }
    return list;
}

TEST(PathList, RemovingAMiddleRowMovesTheLaterRowsUp) {
    PathList list = ListOf({"a", "b", "c"});
    list.removeAt(2);
    EXPECT_THAT(list.texts(), ElementsAre("a", "c"));
    EXPECT_EQ(list.at(2), "c");
}

TEST(PathList, KeepsDuplicatesAndOrder) {
    PathList list = ListOf({"b", "a", "b"});
    const std::vector<std::string> more{"c", "a"};
    list.append(more);
    EXPECT_THAT(list.texts(), ElementsAre("b", "a", "b", "c", "a"));
}

TEST(PathList, SwapExchangesTwoTexts) {
    PathList list = ListOf({"A", "B", "C", "D"});
    list.swap(2, 4);
    EXPECT_THAT(list.texts(), ElementsAre("A", "D", "C", "B"));
}

TEST(PathList, PositionsOutsideTheListThrowNamingPositionAndCount) {
    PathList empty;
    PathList three = ListOf({"a", "b", "c"});
    const struct {
        PathList* list;
        std::size_t position;
        const char* message;
    } cases[] = {{&empty, 1, "row 1 of a list of 0 rows"},
                 {&three, 0, "row 0 of a list of 3 rows"},
                 {&three, 4, "row 4 of a list of 3 rows"}};
    for (const auto& c : cases) {
        try {
            (void)c.list->at(c.position);
            ADD_FAILURE() << "no failure for row " << c.position;
        } catch (const std::out_of_range& failure) {
            EXPECT_THAT(failure.what(), ::testing::HasSubstr(c.message));
        }
        EXPECT_THROW(c.list->removeAt(c.position), std::out_of_range);
        EXPECT_THROW(c.list->setAt(c.position, "x"), std::out_of_range);
        EXPECT_THROW(c.list->swap(c.position, 1), std::out_of_range);
    }
    EXPECT_THAT(three.texts(), ElementsAre("a", "b", "c"));
}

TEST(PathList, ObserversHearEachChangeBeforeAndAfter) {
    PathList list;
    RecordingObserver observer;
    list.addObserver(observer);
    list.append("a");
    const std::vector<std::string> batch{"b", "c"};
    list.append(batch);
    list.append(std::span<const std::string>{});
    list.removeAt(2);
    list.setAt(1, "z");
    list.clear();
    list.removeObserver(observer);
    list.append("unheard");
    EXPECT_THAT(
        observer.events,
        ElementsAre("aboutToAppend 1 1", "appended 1 1", "aboutToAppend 2 2", "appended 2 2",
                    "aboutToRemove 2 1", "removed 2 1", "changed 1 1", "aboutToReset", "reset"));
}

TEST(PathList, AFailingObserverDoesNotKeepTheOthersFromHearing) {
    struct Failing : PathListObserver {
        void appended(std::size_t, std::size_t) override { throw std::runtime_error("disk full"); }
    } failing;
    RecordingObserver recording;
    PathList list;
    list.addObserver(failing);
    list.addObserver(recording);
    EXPECT_THROW(list.append("a"), std::runtime_error);
    EXPECT_EQ(list.count(), 1u);
    EXPECT_THAT(recording.events, ElementsAre("aboutToAppend 1 1", "appended 1 1"));
}

// Room filled out of order, behind texts already there, must read back as if pushed in turn.
TEST(PackedTexts, RoomFilledOutOfOrderReadsBackInTurn) {
    PackedTexts texts;
    texts.push_back("row");
    const PackedTexts::Room room = texts.extend(3, 6);
    EXPECT_EQ(room.offset, 3u);
    std::memcpy(room.bytes + 3, "ccc", 3);
    room.ends[2] = room.offset + 6;
    std::memcpy(room.bytes, "a", 1);
    room.ends[0] = room.offset + 1;
    std::memcpy(room.bytes + 1, "bb", 2);
    room.ends[1] = room.offset + 3;
    EXPECT_THAT(texts.toStrings(), ElementsAre("row", "a", "bb", "ccc"));
    texts.push_back("after");
    EXPECT_EQ(texts[4], "after");
}

}  // namespace
}  // namespace gantrylux
