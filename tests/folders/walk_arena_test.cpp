#include "folders/walk_arena.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "fakes/temp_tree.hpp"
#include "folders/folder_reader.hpp"
#include "folders/native_file_system.hpp"

namespace gantrylux {
namespace {

// Threads allocating at once, small and large, at several alignments: every block is aligned
// as asked and none overlaps another (each is filled with its own pattern, checked after all
// threads are done).
TEST(WalkArena, BlocksFromSeveralThreadsAreAlignedAndApart) {
    struct Block {
        unsigned char* at;
        std::size_t bytes;
        unsigned char mark;
    };
    const struct {
        std::size_t bytes, alignment;
    } shapes[] = {{1, 1},
                  {24, 8},
                  {100, 16},
                  {4096, 64},
                  {WalkArena::kChunkBytes, 8},
                  {WalkArena::kChunkBytes / 4 + 1, 4096}};
    WalkArena arena;
    std::vector<std::vector<Block>> blocks(4);
    {
        std::vector<std::jthread> threads;
        for (std::size_t t = 0; t < blocks.size(); ++t) {
            threads.emplace_back([&, t] {
                for (int round = 0; round < 200; ++round) {
                    for (const auto& shape : shapes) {
                        if (shape.bytes >= WalkArena::kChunkBytes / 4 && round % 50 != 0) {
                            continue;
                        }
                        auto* at = static_cast<unsigned char*>(
                            arena.allocate(shape.bytes, shape.alignment));
                        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(at) % shape.alignment, 0u);
                        const auto mark = static_cast<unsigned char>(t * 64 + round % 64);
                        std::memset(at, mark, shape.bytes);
                        blocks[t].push_back({at, shape.bytes, mark});
                    }
                }
            });
        }
    }
    for (const auto& own : blocks) {
        for (const Block& block : own) {
            ASSERT_TRUE(std::all_of(block.at, block.at + block.bytes,
                                    [&](unsigned char c) { return c == block.mark; }));
        }
    }
    EXPECT_EQ(arena.reservedBytes() % WalkArena::kChunkBytes, 0u);
    EXPECT_EQ(arena.join({"a/", "", "b", "/"}), "a/b/");
}

// A reset arena serves the same work again from the chunks it holds, from every thread, and
// gives a chunk of its own back to the system.
TEST(WalkArena, AResetArenaReusesItsChunksAndDropsLargeOnes) {
    WalkArena arena;
    const auto fill = [&arena] {
        std::vector<std::jthread> threads;
        for (int t = 0; t < 3; ++t) {
            threads.emplace_back([&arena] {
                for (int i = 0; i < 3000; ++i) {
                    std::memset(arena.allocate(1000, 8), 0x5A, 1000);
                }
            });
        }
    };
    fill();
    const std::size_t reserved = arena.reservedBytes();
    std::memset(arena.allocate(WalkArena::kChunkBytes * 2, 8), 1, 16);
    ASSERT_EQ(arena.reservedBytes(), reserved + WalkArena::kChunkBytes * 2);
    for (int round = 0; round < 3; ++round) {
        arena.reset();
        EXPECT_EQ(arena.reservedBytes(), reserved);
        fill();
        EXPECT_EQ(arena.reservedBytes(), reserved);
    }
}

// A listing keeps its names wherever it moves, also into a listing made in other memory, and a
// folder read in many kernel batches (far more than one buffer of records) loses no name.
TEST(WalkArena, ListingsInTheArenaKeepEveryNameAcrossBatchesAndMoves) {
    testing::TempTree tree;
    std::set<std::string> made;
    for (int i = 0; i < 3000; ++i) {
        const std::string name = std::string(60, 'n') + std::to_string(i);
        tree.file("Wide/" + name);
        made.insert(name);
    }
    const auto fs = MakeNativeFileSystem();
    FolderReader reader(*fs, 1);
    ArenaPtr<FolderRead> read = reader.newRead();
    fs->closeFolder(fs->readFolder({}, tree.path("Wide"), {}, false, *read));
    ASSERT_TRUE(read->listing.has_value());

    FolderListing moved;  // on the heap, not the arena
    moved = std::move(*read->listing);
    read->listing.reset();
    std::set<std::string> seen;
    for (const FolderEntry& entry : moved.entries) {
        seen.emplace(entry.name);
    }
    EXPECT_EQ(seen, made);
    moved.keepName("more");  // the moved listing still takes names
}

}  // namespace
}  // namespace gantrylux
