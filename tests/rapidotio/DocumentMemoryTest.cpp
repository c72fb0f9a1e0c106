#include "rapidotio/DocumentMemory.h"

#include "tests/rapidotio/OtioTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace ZEM_0_81::rapidotio {
namespace {

std::string elements(std::size_t count) {
    std::string text = "[";
    for (std::size_t i = 0; i < count; ++i)
        text += std::string(i ? "," : "") + R"({"name":"an element with a long name )" +
                std::to_string(i) + R"(","value":)" + std::to_string(i) + "}";
    return text + "]";
}

TEST(DocumentMemory, ValuesAfterAReleasedObjectStayReadable) {
    // Released or not (a short text fits one chunk), what comes later reads.
    for (const std::size_t count : {100u, 200000u}) {
        const std::string text = elements(count);
        DocumentMemory memory;
        Document document(&memory.allocator());
        document.Parse(text.c_str());
        ASSERT_FALSE(document.HasParseError());
        for (std::size_t i = 0; i < count; ++i) {
            const Value& element = document[static_cast<rapidjson::SizeType>(i)];
            ASSERT_EQ(static_cast<int>(i), element["value"].GetInt());
            ASSERT_EQ("an element with a long name " + std::to_string(i),
                      std::string(element["name"].GetString()));
            memory.release(element);
        }
        memory.release(document);                      // not an object: nothing
        memory.release(Value(rapidjson::kObjectType)); // not parsed here: nothing
    }
}

TEST(DocumentMemory, ReadingFrontToBackHandsTheDomBack) {
    const std::string text = elements(50000);
    DocumentMemory memory;
    Document document(&memory.allocator());
    document.Parse(text.c_str());
    ASSERT_FALSE(document.HasParseError());
    const std::size_t parsed = memory.allocator().capacity();
    ASSERT_GT(parsed, 20 * ValuePool::kChunkCapacity);

    const rapidjson::SizeType count = document.Size();
    memory.release(document[count / 2]);
    const std::size_t half = memory.allocator().capacity();
    EXPECT_LT(half, parsed * 6 / 10);
    EXPECT_GT(half, parsed * 4 / 10);
    // Releasing an earlier object again, or one parsed elsewhere, keeps the rest.
    memory.release(document[0]);
    Document elsewhere;
    elsewhere.Parse(R"({"a":1})");
    memory.release(elsewhere);
    EXPECT_EQ(half, memory.allocator().capacity());
    // The second half still reads.
    EXPECT_EQ(static_cast<int>(count - 1), document[count - 1]["value"].GetInt());

    memory.release(document[count - 1]);
    // The chunk that holds the last member list stays, with the array's
    // elements, parsed after it.
    EXPECT_LE(memory.allocator().capacity(), count * sizeof(Value) + 2 * ValuePool::kChunkCapacity);
}

TEST(ValuePool, AllocatesAlignedAndGrowsTheLastAllocationInPlace) {
    ValuePool pool;
    EXPECT_EQ(nullptr, pool.Malloc(0));
    char* const first = static_cast<char*>(pool.Malloc(3));
    char* const second = static_cast<char*>(pool.Malloc(5));
    EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(first) % 8);
    EXPECT_EQ(first + 8, second);

    std::memcpy(second, "abcd", 5);
    // The last allocation grows where it is; an earlier one moves, keeping its bytes.
    EXPECT_EQ(second, pool.Realloc(second, 5, 40));
    char* const moved = static_cast<char*>(pool.Realloc(first, 3, 16));
    EXPECT_NE(first, moved);
    EXPECT_EQ(first, pool.Realloc(first, 16, 8)); // shrinking keeps the place
    EXPECT_STREQ("abcd", second);

    // An allocation larger than a chunk gets a chunk of its own.
    const std::size_t before = pool.capacity();
    char* const large = static_cast<char*>(pool.Malloc(3 * ValuePool::kChunkCapacity));
    large[3 * ValuePool::kChunkCapacity - 1] = 'x';
    EXPECT_EQ(before + 3 * ValuePool::kChunkCapacity, pool.capacity());
}

TEST(ValuePool, ChunksGrowFromASmallFirstOneToTheFullSize) {
    // A short text's values take one small chunk, not a full one.
    Document small;
    small.Parse(R"({"id": 10001, "type": "a type name longer than a short string"})");
    ASSERT_FALSE(small.HasParseError());
    EXPECT_EQ(ValuePool::kFirstChunkCapacity, small.GetAllocator().capacity());
    EXPECT_STREQ("a type name longer than a short string", small["type"].GetString());

    // Each chunk doubles the one before until chunks are full-sized.
    ValuePool pool;
    std::size_t expected = 0;
    std::size_t chunk = ValuePool::kFirstChunkCapacity;
    for (int i = 0; i < 12; ++i) {
        ASSERT_NE(nullptr, pool.Malloc(chunk)); // fills a chunk of exactly that size
        expected += chunk;
        EXPECT_EQ(expected, pool.capacity());
        chunk = std::min(2 * chunk, ValuePool::kChunkCapacity);
    }
    EXPECT_EQ(ValuePool::kChunkCapacity, chunk);

    // An allocation beyond the next chunk's capacity gets a chunk of its own
    // size, and the growth goes on from where it was.
    ValuePool grown(1024);
    ASSERT_NE(nullptr, grown.Malloc(5000));
    EXPECT_EQ(5000u, grown.capacity());
    ASSERT_NE(nullptr, grown.Malloc(1));
    EXPECT_EQ(5000u + 2048u, grown.capacity());

    // A pool asked for full chunks takes one from the start.
    ValuePool whole(ValuePool::kChunkCapacity);
    ASSERT_NE(nullptr, whole.Malloc(1));
    EXPECT_EQ(ValuePool::kChunkCapacity, whole.capacity());
}

TEST(ValuePool, ReleasesOnlyWholeChunksTakenBeforeThePosition) {
    ValuePool pool(ValuePool::kChunkCapacity);
    const std::size_t size = ValuePool::kChunkCapacity / 2;
    std::vector<char*> blocks;
    for (int i = 0; i < 8; ++i)
        blocks.push_back(static_cast<char*>(pool.Malloc(size))); // two per chunk
    ASSERT_EQ(4 * ValuePool::kChunkCapacity, pool.capacity());

    pool.releaseBefore(blocks[1] + size); // the end of the first chunk: nothing
    EXPECT_EQ(4 * ValuePool::kChunkCapacity, pool.capacity());
    pool.releaseBefore(blocks[5] + 1); // inside the third chunk: the first two go
    EXPECT_EQ(2 * ValuePool::kChunkCapacity, pool.capacity());
    pool.releaseBefore(blocks[7] + size); // the chunk allocations are made from stays
    EXPECT_EQ(ValuePool::kChunkCapacity, pool.capacity());
    blocks[7][size - 1] = 'x';
    char unrelated = 0;
    pool.releaseBefore(&unrelated + 1);
    EXPECT_EQ(ValuePool::kChunkCapacity, pool.capacity());
    // Allocations go on after a release.
    EXPECT_NE(nullptr, pool.Malloc(ValuePool::kChunkCapacity));
    EXPECT_EQ(2 * ValuePool::kChunkCapacity, pool.capacity());
}

} // namespace
} // namespace ZEM_0_81::rapidotio
