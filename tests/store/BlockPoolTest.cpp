#include "store/BlockPool.h"
#include "store/Folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

using namespace lynkora;

namespace {

struct Block {
    unsigned char* at;
    std::size_t size;
    unsigned char mark;
};

void Fill(const Block& b) { std::memset(b.at, b.mark, b.size); }

// Every byte still carries the block's own mark: no block overlaps another.
bool Intact(const Block& b) {
    for (std::size_t i = 0; i < b.size; ++i)
        if (b.at[i] != b.mark)
            return false;
    return true;
}

} // namespace

TEST(BlockPool, BlocksOfEverySizeAreAlignedApartAndReusable) {
    std::vector<Block> blocks;
    for (int round = 0; round < 3; ++round) {
        for (std::size_t size = 0; size <= BlockPool::kLargest + 40; ++size) {
            const Block b{static_cast<unsigned char*>(BlockPool::Allocate(size)), size,
                          static_cast<unsigned char>(size * 7 + round)};
            ASSERT_NE(b.at, nullptr);
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b.at) % 8, 0u) << size;
            Fill(b);
            blocks.push_back(b);
        }
        // Every other block back, then the next round takes their places.
        for (std::size_t i = 0; i < blocks.size(); i += 2)
            BlockPool::Free(blocks[i].at, blocks[i].size);
        std::vector<Block> kept;
        for (std::size_t i = 1; i < blocks.size(); i += 2)
            kept.push_back(blocks[i]);
        blocks.swap(kept);
        for (const Block& b : blocks)
            ASSERT_TRUE(Intact(b)) << "a block of " << b.size << " bytes was overwritten";
    }
    for (const Block& b : blocks)
        BlockPool::Free(b.at, b.size);
    BlockPool::Free(nullptr, 16);
}

// The loading thread makes shortcuts and texts that the window's thread later gives back, and
// both work at once.
TEST(BlockPool, ThreadsTakeAndGiveBackBlocksOfOneAnother) {
    constexpr int kThreads = 4;
    constexpr int kBlocks = 20000;
    std::vector<std::vector<Block>> made(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&made, t] {
            std::mt19937 random(static_cast<unsigned>(t));
            auto& mine = made[static_cast<std::size_t>(t)];
            for (int i = 0; i < kBlocks; ++i) {
                const std::size_t size = 1 + random() % (BlockPool::kLargest + 20);
                const Block b{static_cast<unsigned char*>(BlockPool::Allocate(size)), size,
                              static_cast<unsigned char>(random())};
                Fill(b);
                mine.push_back(b);
                if (random() % 3 == 0) { // some go back at once
                    const std::size_t at = random() % mine.size();
                    ASSERT_TRUE(Intact(mine[at]));
                    BlockPool::Free(mine[at].at, mine[at].size);
                    mine[at] = mine.back();
                    mine.pop_back();
                }
            }
        });
    for (auto& thread : threads)
        thread.join();
    threads.clear();
    // Each thread gives back what the next one made.
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&made, t] {
            for (const Block& b : made[static_cast<std::size_t>((t + 1) % kThreads)]) {
                ASSERT_TRUE(Intact(b));
                BlockPool::Free(b.at, b.size);
            }
        });
    for (auto& thread : threads)
        thread.join();
}

TEST(BlockPool, ShortcutsAndTheirTextsLiveAcrossThreads) {
    auto folder = std::make_unique<TISFolder>();
    std::thread loader([&folder] {
        for (int i = 0; i < 5000; ++i) {
            TIShortcut& s = folder->Shortcuts.Add();
            s.Name = "Shortcut " + std::to_string(i);
            s.URL = "https://example.org/" + std::string(static_cast<std::size_t>(i % 300), 'x');
            if (i % 2)
                s.Descr = s.Name; // a text of one size class copied into another's place
            s.Name = s.Name.view().substr(0, 9 + static_cast<std::size_t>(i % 3)); // a view of its own block
        }
    });
    loader.join();
    ASSERT_EQ(folder->Shortcuts.Count(), 5000u);
    for (int i = 0; i < 5000; ++i) {
        const TIShortcut& s = folder->Shortcuts[static_cast<std::size_t>(i)];
        const std::string name = "Shortcut " + std::to_string(i);
        ASSERT_EQ(s.Name, name.substr(0, 9 + static_cast<std::size_t>(i % 3)));
        ASSERT_EQ(s.URL.size(), 20u + static_cast<std::size_t>(i % 300));
        ASSERT_EQ(s.Descr, i % 2 ? name : std::string());
    }
    for (std::size_t i = 0; i < 2500; ++i)
        folder->Shortcuts.Delete(i);
    std::thread closer([&folder] { folder.reset(); });
    closer.join();
}
