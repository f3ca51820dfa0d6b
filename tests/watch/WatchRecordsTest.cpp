// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows folder watch's reading of the system's change records, and the folders they name: plain rules, run
// on Linux and under Wine alike.
#include "platform/WatchRecords.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quillmere::platform {
namespace {

// Records laid out as the system lays them out; a record's size is its own, the next one starting where told.
class RecordBuffer {
public:
    // next: the record's NextEntryOffset (0 for the last); its name follows the 12 bytes of numbers unpadded.
    RecordBuffer& Add(std::uint32_t next, std::uint32_t action, const std::u16string& name) {
        const std::size_t start = bytes_.size();
        const auto nameBytes = static_cast<std::uint32_t>(name.size() * 2);
        for (const std::uint32_t number : {next, action, nameBytes}) {
            Append(&number, sizeof number);
        }
        Append(name.data(), nameBytes);
        if (next != 0) {
            bytes_.resize(start + next);
        }
        return *this;
    }
    const char* data() const { return bytes_.data(); }
    std::size_t size() const { return bytes_.size(); }

private:
    void Append(const void* from, std::size_t count) {
        const std::size_t at = bytes_.size();
        bytes_.resize(at + count);
        std::memcpy(bytes_.data() + at, from, count);
    }
    std::string bytes_;
};

std::vector<std::u16string> NamesRead(const RecordBuffer& buffer, std::size_t bytes) {
    std::vector<std::u16string> names;
    for (const NotifyRecord& record : ReadNotifyRecords(buffer.data(), bytes)) {
        names.push_back(record.name);
    }
    return names;
}

TEST(NotifyRecords, AShortNameEndingTheBufferIsRead) {
    // A one-letter name: 14 bytes in all, less than the system's declared record size with its padding.
    const RecordBuffer one = RecordBuffer().Add(0, 1, u"p");
    ASSERT_EQ(one.size(), 14u);
    const std::vector<NotifyRecord> read = ReadNotifyRecords(one.data(), one.size());
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].name, u"p");
    EXPECT_EQ(read[0].action, 1u);

    const RecordBuffer three = RecordBuffer().Add(16, 1, u"p").Add(20, 3, u"p\\r").Add(0, 2, u"q");
    EXPECT_EQ(NamesRead(three, three.size()), (std::vector<std::u16string>{u"p", u"p\\r", u"q"}));
}

TEST(NotifyRecords, ARecordRunningPastTheEndIsLeftOut) {
    const RecordBuffer two = RecordBuffer().Add(20, 1, u"abcd").Add(0, 1, u"efgh");
    EXPECT_EQ(NamesRead(two, two.size() - 1), std::vector<std::u16string>{u"abcd"});
    EXPECT_EQ(NamesRead(two, 11), std::vector<std::u16string>{});
}

EntryRecord Arrived(const std::string& entry) {
    return {entry, EntryChange::Arrived};
}
EntryRecord Left(const std::string& entry) {
    return {entry, EntryChange::Left};
}
EntryRecord Changed(const std::string& entry) {
    return {entry, EntryChange::Changed};
}

struct NamingCase {
    const char* what;
    std::vector<std::string> seen;      // besides the top "T\"
    std::vector<EntryRecord> before;    // an earlier batch, whose walks are then made
    std::vector<std::string> walkFinds; // the folders those walks find
    std::vector<EntryRecord> records;
    std::set<std::string> named;
    std::vector<std::string> walks;
};

TEST(SeenFolders, EachRecordNamesTheFoldersAPassMustReadAgain) {
    const NamingCase cases[] = {
        {"a change in a folder seen names that folder", {"T\\a\\"}, {}, {}, {Changed("T\\a\\f.txt\\")}, {"T\\a\\"}, {}},
        {"a folder arrived is walked, its holder named",
         {"T\\a\\"},
         {},
         {},
         {Arrived("T\\a\\n\\")},
         {"T\\a\\"},
         {"T\\a\\n\\"}},
        {"a record from below a folder whose arrival was not told names the folder above the highest unseen one",
         {},
         {},
         {},
         {Changed("T\\p\\r\\f.txt\\")},
         {"T\\"},
         {"T\\p\\"}},
        {"a folder made and filled in a burst is walked once",
         {},
         {},
         {},
         {Arrived("T\\p\\"), Arrived("T\\p\\r\\"), Arrived("T\\p\\r\\f.txt\\"), Changed("T\\p\\r\\f.txt\\")},
         {"T\\", "T\\p\\", "T\\p\\r\\"},
         {"T\\p\\"}},
        {"a folder that left is forgotten with what was below it",
         {"T\\a\\", "T\\a\\b\\"},
         {Left("T\\a\\")},
         {},
         {Changed("T\\a\\b\\f.txt\\")},
         {"T\\"},
         {"T\\a\\"}},
        {"a record under a renamed folder's old name names its new place too",
         {"T\\p\\", "T\\p\\r\\"},
         {{"T\\p\\", EntryChange::RenamedFrom}, {"T\\s\\", EntryChange::RenamedTo}},
         {"T\\s\\", "T\\s\\r\\"},
         {Changed("T\\p\\r\\f.txt\\")},
         {"T\\", "T\\s\\r\\"},
         {"T\\p\\"}},
        {"renamed, then moved: the old name leads to the last place",
         {"T\\q\\", "T\\p\\", "T\\p\\r\\"},
         {{"T\\p\\", EntryChange::RenamedFrom},
          {"T\\s\\", EntryChange::RenamedTo},
          {"T\\s\\", EntryChange::RenamedFrom},
          {"T\\q\\s\\", EntryChange::RenamedTo}},
         {"T\\q\\s\\", "T\\q\\s\\r\\"},
         {Changed("T\\p\\r\\f.txt\\")},
         {"T\\", "T\\q\\s\\r\\"},
         {"T\\p\\", "T\\s\\"}},
    };
    for (const NamingCase& c : cases) {
        SeenFolders seen("T\\");
        for (const std::string& folder : c.seen) {
            seen.Saw(folder);
        }
        seen.Take(c.before);
        for (const std::string& folder : c.walkFinds) {
            seen.Saw(folder);
        }
        const RecordsNamed named = seen.Take(c.records);
        EXPECT_EQ(named.named, c.named) << c.what;
        EXPECT_EQ(named.walks, c.walks) << c.what;
    }
}

// A folder seen before is unseen again: its records make it walked, named from the top, still seen.
TEST(SeenFolders, StartingAfreshForgetsAllButTheTop) {
    SeenFolders seen("T\\");
    seen.Saw("T\\a\\");
    seen.Clear();
    const RecordsNamed named = seen.Take({Changed("T\\a\\f.txt\\")});
    EXPECT_EQ(named.walks, std::vector<std::string>{"T\\a\\"});
    EXPECT_EQ(named.named, std::set<std::string>{"T\\"});
}

} // namespace
} // namespace quillmere::platform
