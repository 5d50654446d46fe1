#include "settings/tuning_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <random>

#include "settings/test_files.h"

namespace merlop {
namespace {

using testing::Bytes;
using testing::FileSizeLimit;
using testing::int32At;
using testing::putInt32At;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;
using Names = std::vector<std::string>;

constexpr std::size_t kRecord = 2340;

std::string textAt(const Bytes& b, std::size_t offset) {
    const char* p = reinterpret_cast<const char*>(&b.at(offset));
    return std::string(p, strnlen(p, 16));
}

Bytes fileOf(const std::vector<Tuning>& tunings) {
    Bytes out;
    for (const Tuning& t : tunings) {
        const Tuning::Record r = t.toRecord();
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}

class TuningStoreTest : public ::testing::Test {
  protected:
    std::filesystem::path file() const { return dir_ / TuningStore::kFileName; }
    TempDir dir_;
};

TEST_F(TuningStoreTest, NewInstallationWritesTheBuiltInTunings) {
    TuningStore store(dir_.path());
    ASSERT_TRUE(store.hasFile());
    const Bytes b = readBytes(file());
    ASSERT_EQ(b.size(), 7020u);
    EXPECT_EQ(textAt(b, kRecord), "Violin");
    EXPECT_EQ(int32At(b, kRecord + 20), 40);
    EXPECT_EQ(int32At(b, 2 * kRecord + 16), 1);
    EXPECT_EQ(textAt(b, 2 * kRecord + 36 + 2 * 16), "B chanter     ");
    EXPECT_EQ(store.names(), (Names{"Guitar ", "Violin", "Bagpipe"}));
    EXPECT_EQ(store.currentTuning(), 0);
    EXPECT_EQ(store.currentNote(), 0);

    const int midi[6] = {40, 45, 50, 55, 59, 64};
    const float hz[6] = {82.407f, 110.000f, 146.832f, 195.998f, 246.942f, 329.628f};
    EXPECT_EQ(store.instrument(), 25);
    ASSERT_EQ(store.noteCount(), 6);
    EXPECT_EQ(store.description(0), "E  6th string");
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(store.note(k), midi[k]);
        EXPECT_NEAR(store.frequency(k), hz[k], 0.0015f);
    }

    ASSERT_EQ(store.readTuning(2), 0);
    EXPECT_EQ(store.instrument(), 109);
    ASSERT_EQ(store.noteCount(), 9);
    EXPECT_EQ(store.description(0), "G low chanter ");
    EXPECT_EQ(store.description(8), "A high chanter");
    EXPECT_FLOAT_EQ(store.frequency(6), 786.66f);
}

TEST_F(TuningStoreTest, InvalidRecordEndsTheListAndStaysOut) {
    std::vector<Tuning> records = TuningStore::builtInTunings();
    records[1].valid = 0;
    writeBytes(file(), fileOf(records));
    TuningStore store(dir_.path());
    EXPECT_EQ(store.names(), Names{"Guitar "});
    EXPECT_EQ(store.readTuning(2), -1);
    EXPECT_EQ(store.currentName(), "Guitar ");

    // The appended tuning takes the marker's place; the valid record behind it stays unlisted.
    store.clearCurrent();
    store.current().setName("Mandolin");
    ASSERT_EQ(store.saveCurrent(true), 0);
    EXPECT_EQ(TuningStore(dir_.path()).names(), (Names{"Guitar ", "Mandolin"}));
}

TEST_F(TuningStoreTest, AtMostThirtyTwoTuningsAndNoThirtyThird) {
    std::vector<Tuning> records(40);
    for (int i = 0; i < 40; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "T%d", i);
        records[i].setName(name);
    }
    const Bytes original = fileOf(records);
    writeBytes(file(), original);
    TuningStore store(dir_.path());
    EXPECT_EQ(store.tuningsInFile(), 32);
    EXPECT_EQ(store.name(31), "T31");
    EXPECT_EQ(store.readTuning(32), -1);

    ASSERT_EQ(store.readTuning(5), 0);
    EXPECT_EQ(store.saveCurrent(true), -1);
    EXPECT_EQ(store.writeTuning(32), -1);
    EXPECT_EQ(store.currentTuning(), 5);
    EXPECT_EQ(store.tuningsInFile(), 32);
    EXPECT_EQ(readBytes(file()), original);
}

TEST_F(TuningStoreTest, DeletingTheFirstOfThree) {
    TuningStore store(dir_.path());
    const Bytes before = readBytes(file());
    ASSERT_EQ(store.readTuning(2), 0);
    ASSERT_EQ(store.deleteTuning(0), 0);
    EXPECT_EQ(store.names(), (Names{"Violin", "Bagpipe"}));
    EXPECT_EQ(store.currentTuning(), 0);
    EXPECT_EQ(store.currentName(), "Violin");

    Bytes expected(before.begin() + kRecord, before.end());
    expected.insert(expected.end(), before.begin() + 2 * kRecord, before.end());
    putInt32At(expected, 2 * kRecord + 16, 0);
    EXPECT_EQ(readBytes(file()), expected);
    EXPECT_EQ(TuningStore(dir_.path()).tuningsInFile(), 2);
}

TEST_F(TuningStoreTest, DeletingTheLastAndTheOnlyTuning) {
    TuningStore store(dir_.path());
    Bytes expected = readBytes(file());
    store.current().setName("Edited");  // unsaved changes of the current tuning
    ASSERT_EQ(store.deleteTuning(2), 0);
    // Nothing moves down: the marker is the current tuning as it stands, marked invalid.
    Tuning marker = TuningStore::builtInTunings()[0];
    marker.setName("Edited");
    marker.valid = 0;
    const Tuning::Record r = marker.toRecord();
    std::copy(r.begin(), r.end(), expected.begin() + 2 * kRecord);
    EXPECT_EQ(readBytes(file()), expected);

    EXPECT_EQ(store.deleteTuning(2), -1);
    ASSERT_EQ(store.deleteTuning(0), 0);
    EXPECT_EQ(store.deleteTuning(0), -1);
    EXPECT_EQ(store.names(), Names{"Violin"});
    EXPECT_EQ(TuningStore(dir_.path()).names(), Names{"Violin"});
}

TEST_F(TuningStoreTest, SavingNewAndChangedTunings) {
    TuningStore store(dir_.path());
    store.clearCurrent();
    EXPECT_EQ(store.currentNote(), -1);
    Tuning& t = store.current();
    t.setName("Ukulele");
    t.recordReadings = 1;
    ASSERT_TRUE(t.insertEntry(0, {"A string", 69, 440.0f}));
    ASSERT_TRUE(t.insertEntry(0, {"G string", 67, 392.0f}));
    ASSERT_EQ(store.saveCurrent(true), 0);
    EXPECT_EQ(store.tuningsInFile(), 4);
    EXPECT_EQ(store.currentTuning(), 3);

    const Bytes b = readBytes(file());
    ASSERT_EQ(b.size(), 4 * kRecord);
    EXPECT_EQ(textAt(b, 3 * kRecord), "Ukulele");
    EXPECT_EQ(int32At(b, 3 * kRecord + 28), 1);
    EXPECT_EQ(int32At(b, 3 * kRecord + 32), 2);
    EXPECT_EQ(textAt(b, 3 * kRecord + 36), "G string");
    EXPECT_EQ(int32At(b, 3 * kRecord + 1572 + 4), 69);
    EXPECT_EQ(int32At(b, 3 * kRecord + 1956 + 4), 0x43DC0000);  // 440.0f

    ASSERT_EQ(store.readTuning(1), 0);
    store.current().setName("Fiddle");
    store.current().removeEntry(0);
    ASSERT_EQ(store.saveCurrent(false), 0);
    TuningStore reopened(dir_.path());
    EXPECT_EQ(reopened.names(), (Names{"Guitar ", "Fiddle", "Bagpipe", "Ukulele"}));
    ASSERT_EQ(reopened.readTuning(1), 0);
    EXPECT_EQ(reopened.noteCount(), 3);
    EXPECT_EQ(reopened.description(0), "D string");
}

TEST_F(TuningStoreTest, TwoStoresAppendingBothKeepTheirTunings) {
    TuningStore first(dir_.path());
    TuningStore second(dir_.path());
    first.clearCurrent();
    first.current().setName("Mandolin");
    ASSERT_EQ(first.saveCurrent(true), 0);
    second.clearCurrent();
    second.current().setName("Banjo");
    ASSERT_EQ(second.saveCurrent(true), 0);

    const Names all{"Guitar ", "Violin", "Bagpipe", "Mandolin", "Banjo"};
    EXPECT_EQ(second.names(), all);
    EXPECT_EQ(second.currentTuning(), 4);
    EXPECT_EQ(first.names(), all);  // the other's save shows at the next look
    EXPECT_EQ(first.currentTuning(), 3);
    ASSERT_EQ(first.readTuning(4), 0);
    EXPECT_EQ(first.currentName(), "Banjo");
    EXPECT_EQ(TuningStore(dir_.path()).names(), all);
}

TEST_F(TuningStoreTest, AnEditSavedAfterTheOtherStoreDeletedLandsOnItsOwnTuning) {
    TuningStore deleting(dir_.path());
    TuningStore editing(dir_.path());
    ASSERT_EQ(editing.readTuning(1), 0);  // Violin
    editing.current().setName("Fiddle");
    editing.current().frequencies[2] = 442.0f;
    ASSERT_EQ(deleting.deleteTuning(0), 0);  // Guitar; Violin and Bagpipe move down

    ASSERT_EQ(editing.saveCurrent(false), 0);
    EXPECT_EQ(editing.names(), (Names{"Fiddle", "Bagpipe"}));
    EXPECT_EQ(editing.currentTuning(), 0);
    TuningStore after(dir_.path());
    ASSERT_EQ(after.readTuning(0), 0);
    EXPECT_FLOAT_EQ(after.frequency(2), 442.0f);
    ASSERT_EQ(after.readTuning(1), 0);
    EXPECT_EQ(after.currentName(), "Bagpipe");
    EXPECT_EQ(after.noteCount(), 9);
    EXPECT_EQ(deleting.names(), (Names{"Fiddle", "Bagpipe"}));

    // An edit of a tuning the other store deleted meanwhile comes back as a new one.
    ASSERT_EQ(deleting.readTuning(1), 0);
    deleting.current().instrument = 110;
    ASSERT_EQ(editing.deleteTuning(1), 0);
    ASSERT_EQ(deleting.saveCurrent(false), 0);
    EXPECT_EQ(deleting.names(), (Names{"Fiddle", "Bagpipe"}));
    EXPECT_EQ(deleting.currentTuning(), 1);
    EXPECT_EQ(TuningStore(dir_.path()).names(), (Names{"Fiddle", "Bagpipe"}));
}

TEST_F(TuningStoreTest, ADeleteRemovesTheChosenTuningWhereverItMoved) {
    TuningStore first(dir_.path());
    TuningStore second(dir_.path());
    ASSERT_EQ(first.deleteTuning(0), 0);   // Guitar
    ASSERT_EQ(second.deleteTuning(2), 0);  // Bagpipe, as second listed it
    EXPECT_EQ(second.names(), Names{"Violin"});
    EXPECT_EQ(second.currentName(), "Violin");
    EXPECT_EQ(first.names(), Names{"Violin"});
    EXPECT_EQ(TuningStore(dir_.path()).names(), Names{"Violin"});
}

TEST_F(TuningStoreTest, AFailedWriteLeavesTheFileAndTheStoreAsTheyWere) {
    TuningStore store(dir_.path());
    const Bytes before = readBytes(file());
    ASSERT_EQ(store.readTuning(1), 0);
    store.current().setName("Fiddle");
    {
        FileSizeLimit limit(8192);  // room for half of a fourth record
        EXPECT_EQ(store.saveCurrent(true), -1);
    }
    EXPECT_EQ(readBytes(file()), before);
    {
        FileSizeLimit limit(4096);
        EXPECT_EQ(store.saveCurrent(false), -1);
        EXPECT_EQ(store.deleteTuning(0), -1);
    }
    EXPECT_EQ(readBytes(file()), before);
    EXPECT_EQ(store.names(), (Names{"Guitar ", "Violin", "Bagpipe"}));
    EXPECT_EQ(store.currentTuning(), 1);
    EXPECT_EQ(store.currentName(), "Fiddle");  // the edit is still there to save

    ASSERT_EQ(store.saveCurrent(false), 0);
    EXPECT_EQ(TuningStore(dir_.path()).names(), (Names{"Guitar ", "Fiddle", "Bagpipe"}));
}

TEST_F(TuningStoreTest, ANewFileIsWrittenWholeOrNotAtAll) {
    {
        FileSizeLimit limit(4096);
        TuningStore store(dir_.path());
        EXPECT_FALSE(store.hasFile());
        EXPECT_EQ(store.names(), (Names{"Guitar ", "Violin", "Bagpipe"}));
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));

    writeBytes(file(), {});
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(TuningStore(dir_.path()).hasFile());
    }
    EXPECT_EQ(readBytes(file()).size(), 0u);
    // Beside it at most the empty lock file, no part of a new one.
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
        EXPECT_EQ(entry.file_size(), 0u) << entry.path();
    }
}

TEST_F(TuningStoreTest, CorruptFilesStayInBoundsAndUntouched) {
    Bytes b(kRecord, 'X');  // nothing terminated
    putInt32At(b, 16, 1);
    putInt32At(b, 32, 1000);          // noteCount
    putInt32At(b, 1956, 0x7fc00000);  // NaN
    Bytes second = b;
    putInt32At(second, 32, -5);
    b.insert(b.end(), second.begin(), second.end());
    b.resize(b.size() + 100, 0);  // part of a third record
    writeBytes(file(), b);
    {
        TuningStore store(dir_.path());
        ASSERT_EQ(store.tuningsInFile(), 2);
        EXPECT_EQ(store.name(0), std::string(15, 'X'));
        EXPECT_EQ(store.noteCount(), 96);
        EXPECT_EQ(store.description(95), std::string(15, 'X'));
        EXPECT_EQ(store.frequency(0), 0.0f);
        ASSERT_EQ(store.readTuning(1), 0);
        EXPECT_EQ(store.noteCount(), 0);
    }
    EXPECT_EQ(readBytes(file()), b);

    std::mt19937 rng(77);
    for (int round = 0; round < 40; ++round) {
        Bytes junk(rng() % (5 * kRecord));
        for (auto& c : junk) c = static_cast<unsigned char>(rng());
        for (std::size_t off = 16; off + 4 <= junk.size(); off += kRecord) {
            putInt32At(junk, off, 1);
        }
        writeBytes(file(), junk);
        TuningStore store(dir_.path());
        for (int i = 0; i < store.tuningsInFile(); ++i) {
            ASSERT_EQ(store.readTuning(i), 0);
            EXPECT_LE(store.noteCount(), 96);
            EXPECT_GE(store.noteCount(), 0);
            for (int k = 0; k < store.noteCount(); ++k) {
                EXPECT_TRUE(std::isfinite(store.frequency(k)));
            }
        }
        if (store.tuningsInFile() > 1) {
            EXPECT_EQ(store.deleteTuning(0), 0);
        }
    }
}

TEST_F(TuningStoreTest, OptionsStayAsStoredAndOnlySoundablePitchesAreFrequencies) {
    Tuning t = TuningStore::builtInTunings()[1];
    t.autoReferenceTone = 5;
    t.recordReadings = -1;
    const float stored[] = {1e30f, 1e-40f, 0.0f, -5.0f, 20000.0f, 20000.5f, 440.0f, 1e-3f};
    t.noteCount = 8;
    for (int k = 0; k < 8; ++k) t.frequencies[k] = stored[k];
    const Bytes original = fileOf({t});
    writeBytes(file(), original);
    {
        TuningStore store(dir_.path());
        EXPECT_EQ(store.autoReferenceTone(), 5);
        EXPECT_EQ(store.recordReadings(), -1);
        const float read[] = {0.0f, 0.0f, 0.0f, 0.0f, 20000.0f, 0.0f, 440.0f, 1e-3f};
        for (int k = 0; k < 8; ++k) EXPECT_EQ(store.frequency(k), read[k]) << k;
        store.current().frequencies = t.frequencies;  // what the record held
        ASSERT_EQ(store.saveCurrent(false), 0);
    }
    EXPECT_EQ(readBytes(file()), original);
}

TEST_F(TuningStoreTest, AFolderOrAnUnreadableFileServesTheBuiltInsFromMemory) {
    const auto expectBuiltInsOnly = [](TuningStore& store, const char* what) {
        EXPECT_FALSE(store.hasFile()) << what;
        EXPECT_EQ(store.names(), (Names{"Guitar ", "Violin", "Bagpipe"})) << what;
        ASSERT_EQ(store.readTuning(2), 0) << what;
        EXPECT_EQ(store.instrument(), 109) << what;
        EXPECT_EQ(store.saveCurrent(false), -1) << what;
        EXPECT_EQ(store.saveCurrent(true), -1) << what;
        EXPECT_EQ(store.deleteTuning(0), -1) << what;
        EXPECT_EQ(store.tuningsInFile(), 3) << what;
    };
    std::filesystem::create_directory(file());
    {
        TuningStore store(dir_.path());
        expectBuiltInsOnly(store, "folder");
    }
    EXPECT_TRUE(std::filesystem::is_directory(file()));
    std::filesystem::remove(file());

    if (geteuid() == 0) {
        // Permissions do not bind root; a file whose reads and writes fail stands in for it.
        std::filesystem::create_symlink("/proc/self/mem", file());
        TuningStore store(dir_.path());
        expectBuiltInsOnly(store, "unreadable");
        return;
    }
    writeBytes(file(), fileOf({TuningStore::builtInTunings()[1]}));
    std::filesystem::permissions(file(), std::filesystem::perms::none);
    {
        TuningStore store(dir_.path());
        expectBuiltInsOnly(store, "unreadable");
    }
    writeBytes(file(), {});
    std::filesystem::permissions(file(), std::filesystem::perms::owner_read);
    TuningStore emptyReadOnly(dir_.path());
    expectBuiltInsOnly(emptyReadOnly, "empty and read-only");
}

TEST_F(TuningStoreTest, EmptyFileGetsBuiltInsButATinyOneIsKept) {
    writeBytes(file(), {});
    EXPECT_EQ(TuningStore(dir_.path()).tuningsInFile(), 3);
    EXPECT_EQ(readBytes(file()).size(), 7020u);

    writeBytes(file(), {'a', 'b', 'c'});
    TuningStore store(dir_.path());
    EXPECT_TRUE(store.names().empty());
    EXPECT_EQ(readBytes(file()).size(), 3u);
    store.current().setName("First");
    EXPECT_EQ(store.saveCurrent(false), 0);
    EXPECT_EQ(store.names(), Names{"First"});
}

TEST_F(TuningStoreTest, WithoutAWritableFileNothingIsSaved) {
    writeBytes(dir_ / "plain", {1});
    std::vector<std::filesystem::path> places = {dir_ / "missing", dir_ / "plain"};
    if (geteuid() != 0) {  // permissions do not bind root
        std::filesystem::create_directory(dir_ / "locked");
        std::filesystem::permissions(dir_ / "locked", std::filesystem::perms::owner_read |
                                                          std::filesystem::perms::owner_exec);
        places.push_back(dir_ / "locked");
    }
    for (const auto& where : places) {
        TuningStore store(where);
        EXPECT_FALSE(store.hasFile());
        EXPECT_EQ(store.names(), (Names{"Guitar ", "Violin", "Bagpipe"}));
        ASSERT_EQ(store.readTuning(1), 0);
        EXPECT_EQ(store.currentName(), "Violin");
        EXPECT_EQ(store.saveCurrent(false), -1);
        EXPECT_EQ(store.saveCurrent(true), -1);
        EXPECT_EQ(store.deleteTuning(0), -1);
        EXPECT_EQ(store.tuningsInFile(), 3);
        EXPECT_FALSE(std::filesystem::exists(where / TuningStore::kFileName));
    }
    if (geteuid() == 0) return;
    std::filesystem::permissions(dir_ / "locked", std::filesystem::perms::owner_all);
    { TuningStore created(dir_.path()); }
    const Bytes before = readBytes(file());
    std::filesystem::permissions(file(), std::filesystem::perms::owner_read);
    TuningStore readOnly(dir_.path());
    EXPECT_EQ(readOnly.tuningsInFile(), 3);
    EXPECT_EQ(readOnly.saveCurrent(true), -1);
    EXPECT_EQ(readOnly.deleteTuning(0), -1);
    EXPECT_EQ(readBytes(file()), before);
}

TEST(TuningRecord, EntriesTextsAndPartialRecords) {
    Tuning t;
    EXPECT_FALSE(t.insertEntry(1, {"x", 1, 1.0f}));
    ASSERT_TRUE(t.insertEntry(0, {"b", 2, 2.0f}));
    ASSERT_TRUE(t.insertEntry(0, {"a", 1, 1.0f}));
    ASSERT_TRUE(t.insertEntry(2, {"c", 3, 3.0f}));
    ASSERT_TRUE(t.removeEntry(0));
    ASSERT_EQ(t.noteCount, 2);
    EXPECT_EQ(t.entry(0).description, "b");
    EXPECT_EQ(t.entry(1).note, 3);
    EXPECT_FALSE(t.removeEntry(2));
    while (t.noteCount < Tuning::kMaxNotes) ASSERT_TRUE(t.insertEntry(0, {"n", 1, 1.0f}));
    EXPECT_FALSE(t.insertEntry(0, {"n", 1, 1.0f}));

    t.setName("A name far longer than fifteen");
    EXPECT_EQ(t.nameText(), "A name far long");
    t.setName("Harp");
    const Tuning::Record r = t.toRecord();
    EXPECT_EQ(Tuning::fromRecord(r.data(), r.size()).toRecord(), r);
    const Tuning cut = Tuning::fromRecord(r.data(), 16);  // the name only
    EXPECT_EQ(cut.nameText(), "Harp");
    EXPECT_EQ(cut.valid, 0);
    EXPECT_EQ(cut.noteCount, 0);
}

}  // namespace
}  // namespace merlop

namespace merlop {
namespace {

TEST(TuningTexts, WindowsTextInTheFileUtf8InTheProgram) {
    testing::TempDir dir;
    Tuning t = TuningStore::builtInTunings()[1];
    Tuning::Record r = t.toRecord();
    const std::string name = "Vi\xF4lon \x80\x81";  // ô, the euro sign, an undefined byte
    std::copy(name.begin(), name.end(), r.begin());
    const std::string note = "Sol \xE0 vide";  // à
    std::copy(note.begin(), note.end(), r.begin() + 36);
    testing::writeBytes(dir / TuningStore::kFileName, testing::Bytes(r.begin(), r.end()));

    TuningStore store(dir.path());
    EXPECT_EQ(store.names(), (std::vector<std::string>{"Vi\xC3\xB4lon \xE2\x82\xAC\xC2\x81"}));
    EXPECT_EQ(store.name(0), store.names()[0]);
    EXPECT_EQ(store.currentName(), store.names()[0]);
    EXPECT_EQ(store.description(0), "Sol \xC3\xA0 vide");
    // Saved untouched, the bytes stay as they were.
    ASSERT_EQ(store.saveCurrent(false), 0);
    EXPECT_EQ(testing::readBytes(dir / TuningStore::kFileName), testing::Bytes(r.begin(), r.end()));

    // Fifteen characters of the code page fill the field, whatever their UTF-8 length; a
    // character it lacks is no byte the file can hold.
    store.current().setName(
        "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
        "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
    EXPECT_EQ(std::string(store.current().name.data()), std::string(15, '\xE9'));
    store.current().setDescription(0, "A \xCE\xA9");  // Omega
    EXPECT_EQ(std::string(store.current().descriptions[0].data()), "A ?");
    store.current().setName("Plain");
    EXPECT_EQ(std::string(store.current().name.data()), "Plain");
}

}  // namespace
}  // namespace merlop
