// The reader on disk: files that cannot be opened, companions in a real folder, and the
// worked mismatches made from copies of real tables.

#include "dirlist.h"
#include "paradoxreader.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace kelvane::conversion {
namespace {

namespace fs = std::filesystem;

const fs::path kJoins = fs::path(KELVANE_CORPUS_DIR) / "paradoxdriver" / "joins";

// A fresh folder under the system's temporary folder, removed afterwards.
class TableFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               (std::string("kelvane-reader-") + info->name() + "-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void copyFromJoins(const std::string& from, const std::string& to) {
        fs::copy_file(kJoins / from, dir_ / to);
        fs::permissions(dir_ / to, fs::perms::owner_write, fs::perm_options::add);
    }

    TableStructure read(const std::string& name) const {
        return readParadoxTable(dir_.string(), name, listDirectory(dir_.string()));
    }

    std::string errorOf(const std::string& name) const {
        try {
            read(name);
        } catch (const TableError& error) {
            return error.what();
        }
        return "no error";
    }

    fs::path dir_;
};

TEST_F(TableFolder, FilesThatCannotBeOpened) {
    fs::create_directory(dir_ / "OLD.DB");
    ASSERT_EQ(::mkfifo((dir_ / "PIPE.DB").c_str(), 0600), 0);
    EXPECT_EQ(errorOf("OLD.DB"), "Table \"OLD.DB\": cannot open the file (Is a directory)");
    EXPECT_EQ(errorOf("GONE.DB"), "Table \"GONE.DB\": cannot open the file (No such file or directory)");
    // A pipe would block a plain open until a writer comes.
    EXPECT_EQ(errorOf("PIPE.DB"), "Table \"PIPE.DB\": cannot open the file (not a regular file)");
}

TEST_F(TableFolder, CompanionThatCannotBeOpened) {
    copyFromJoins("C.DB", "C.DB");
    fs::create_directory(dir_ / "c.val");
    EXPECT_EQ(errorOf("C.DB"), "Table \"C.DB\": cannot open validity file \"c.val\" (Is a directory)");
}

TEST_F(TableFolder, CompanionsAreFoundWithoutRegardToLetterCase) {
    copyFromJoins("C.DB", "c.db");
    copyFromJoins("C.PX", "C.px");
    copyFromJoins("C.VAL", "c.Val");
    copyFromJoins("C.X02", "c.x02");
    copyFromJoins("C.X03", "C.x03");
    const TableStructure read = this->read("c.db");
    EXPECT_EQ(read.fields,
              (std::vector<FieldDef>{
                  {"C", ftInteger, 0, true}, {"A", ftInteger, 0, true}, {"B", ftInteger, 0, false}}));
    EXPECT_EQ(read.indexes,
              (std::vector<IndexDef>{{"", "C", ixPrimary | ixUnique}, {"A", "A", 0}, {"B", "B", 0}}));
}

TEST_F(TableFolder, IndexFileNamingAFieldTheTableLacks) {
    for (const char* name : {"fk1.db", "fk1.px", "fk1.val", "fk1.x02"})
        copyFromJoins(name, name);
    copyFromJoins("C.X03", "fk1.x03");
    EXPECT_EQ(errorOf("fk1.db"),
              "Table \"fk1.db\": index file \"fk1.x03\" does not match the table (field 3 does not exist)");
}

TEST_F(TableFolder, IndexFileWhoseKeyCopyDiffers) {
    for (const char* name : {"C.DB", "C.PX", "C.VAL", "C.X02"})
        copyFromJoins(name, name);
    copyFromJoins("fk3.x03", "C.X03");
    EXPECT_EQ(errorOf("C.DB"),
              "Table \"C.DB\": index file \"C.X03\" does not match the table (key field 1 has another type)");
}

} // namespace
} // namespace kelvane::conversion
