// The four store operations: defaults, the flag number rule, names without regard to case,
// value types, and a store that cannot be created or read.

#include "settingserror.h"
#include "settingsstore.h"
#include "test_settings_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace kelvane::app {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

const std::string header = "REGEDIT4\n\n";
const std::string programKeyLine = "[HKEY_LOCAL_MACHINE\\Software\\Kelvane]\n";
const std::string sectionLine = "[HKEY_LOCAL_MACHINE\\Software\\Kelvane\\AutoSave]\n";

// The message of the SettingsError that `operation` throws, or "" when it throws none.
template <typename F> std::string errorOf(F operation)
{
    try {
        operation();
    } catch (const SettingsError& error) {
        return error.what();
    }
    return {};
}

class SettingsStoreTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::string path = folder.file("kelvane/registry.reg");
    SettingsStore store{path};
};

TEST_F(SettingsStoreTest, FirstReadCreatesOnlyTheProgramKeyAndGivesDefaults)
{
    EXPECT_EQ(store.ReadText("AutoSave", "SourceDir", "/tmp"), "/tmp");
    EXPECT_TRUE(store.ReadFlag("Autosave", "AutoDest", true));
    EXPECT_FALSE(store.ReadFlag("Autosave", "AutoDest", false));
    EXPECT_EQ(readFile(path), header + programKeyLine);
}

TEST_F(SettingsStoreTest, MissingSectionOrValueGivesTheDefaultAndCreatesNothing)
{
    const std::string contents = header + programKeyLine + "\n[HKEY_LOCAL_MACHINE\\Software\\Kelvane\\Other]\n" +
                                 "\"SourceDir\"=\"elsewhere\"\n\n" + sectionLine + "\"DestPas\"=\"x.pas\"\n";
    writeFile(path, contents);
    EXPECT_EQ(store.ReadText("Missing", "SourceDir", "dflt"), "dflt");
    EXPECT_EQ(store.ReadText("AutoSave", "SourceDir", "dflt"), "dflt");
    EXPECT_TRUE(store.ReadFlag("AutoSave", "AutoDest", true));
    EXPECT_EQ(readFile(path), contents);
}

TEST_F(SettingsStoreTest, WriteCreatesTheSectionAndReplacesAValueOfAnyType)
{
    writeFile(path, header + sectionLine + "\"AutoDest\"=dword:00000001\n");
    store.WriteFlag("Autosave", "AutoDest", false);
    store.WriteText("AutoSave", "Lang", "");
    store.WriteText("New", "Value", "v");
    EXPECT_EQ(readFile(path), header + sectionLine + "\"AutoDest\"=\"0\"\n\"Lang\"=\"\"\n" +
                                  "\n[HKEY_LOCAL_MACHINE\\Software\\Kelvane\\New]\n\"Value\"=\"v\"\n");
    EXPECT_FALSE(store.ReadFlag("Autosave", "AutoDest", true));
    EXPECT_EQ(store.ReadText("AutoSave", "Lang", "italiano"), "");
}

TEST_F(SettingsStoreTest, NamesDifferingOnlyInCaseReachTheStoredKeyAndKeepItsSpelling)
{
    writeFile(path, header + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KELVANE\\AUTOSAVE]\n\"SOURCEDIR\"=\"/data\"\n"
                             "\"autodest\"=\"0\"\n");
    EXPECT_EQ(store.ReadText("AutoSave", "SourceDir", "/tmp"), "/data");
    EXPECT_FALSE(store.ReadFlag("Autosave", "AutoDest", true));

    store.WriteText("Autosave", "sourcedir", "/new");
    store.WriteFlag("AutoSave", "AutoDest", true);
    store.WriteText("Other", "V", "x"); // a new key below the stored spelling of its parents
    EXPECT_EQ(readFile(path), header + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KELVANE\\AUTOSAVE]\n"
                                       "\"SOURCEDIR\"=\"/new\"\n\"autodest\"=\"1\"\n"
                                       "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KELVANE\\Other]\n\"V\"=\"x\"\n");
}

// ---- ReadFlag's number rule ----

enum class Flag { False, True, Default };

struct FlagCase {
    const char* name;
    const char* text;
    Flag expected;
};

// Test names say which case failed; the raw bytes of the case would not.
void PrintTo(const FlagCase& c, std::ostream* os) { *os << c.name; }

class ReadFlagTest : public SettingsStoreTest, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(ReadFlagTest, TextGivesFlagOrDefault)
{
    const FlagCase& c = GetParam();
    store.WriteText("Autosave", "AutoDest", c.text);
    const bool withTrue = store.ReadFlag("AutoSave", "AutoDest", true);
    const bool withFalse = store.ReadFlag("AutoSave", "AutoDest", false);
    switch (c.expected) {
    case Flag::False:
        EXPECT_FALSE(withTrue);
        EXPECT_FALSE(withFalse);
        break;
    case Flag::True:
        EXPECT_TRUE(withTrue);
        EXPECT_TRUE(withFalse);
        break;
    case Flag::Default:
        EXPECT_TRUE(withTrue);
        EXPECT_FALSE(withFalse);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadFlagTest,
    ::testing::Values(FlagCase{"zero", "0", Flag::False}, FlagCase{"double_zero", "00", Flag::False},
                      FlagCase{"minus_zero", "-0", Flag::False}, FlagCase{"dollar_zero", "$0", Flag::False},
                      FlagCase{"0x_zero", "0x0", Flag::False}, FlagCase{"zero_after_spaces", "   0", Flag::False},
                      FlagCase{"dollar_zero_after_space", " $0", Flag::False},
                      FlagCase{"one", "1", Flag::True}, FlagCase{"two", "2", Flag::True},
                      FlagCase{"minus_one", "-1", Flag::True}, FlagCase{"plus_one", "+1", Flag::True},
                      FlagCase{"dollar_ff", "$ff", Flag::True}, FlagCase{"0X_FF", "0XFF", Flag::True},
                      FlagCase{"int_max", "2147483647", Flag::True}, FlagCase{"int_min", "-2147483648", Flag::True},
                      FlagCase{"dollar_all_ones", "$FFFFFFFF", Flag::True},
                      FlagCase{"hex_leading_zeros", "$0000000001", Flag::True},
                      FlagCase{"empty", "", Flag::Default}, FlagCase{"word_true", "true", Flag::Default},
                      FlagCase{"word_false", "false", Flag::Default}, FlagCase{"word_yes", "yes", Flag::Default},
                      FlagCase{"0x_alone", "0x", Flag::Default}, FlagCase{"dollar_alone", "$", Flag::Default},
                      FlagCase{"trailing_space", "1 ", Flag::Default}, FlagCase{"sign_alone", "-", Flag::Default},
                      FlagCase{"beyond_int_max", "2147483648", Flag::Default},
                      FlagCase{"beyond_int_min", "-2147483649", Flag::Default},
                      FlagCase{"beyond_32_bits_hex", "$100000000", Flag::Default},
                      FlagCase{"many_digits", "99999999999999999999999", Flag::Default},
                      FlagCase{"sign_before_dollar", "-$1", Flag::Default},
                      FlagCase{"two_signs", "+-1", Flag::Default},
                      FlagCase{"0x_after_space", " 0x1", Flag::Default}, FlagCase{"tab_before", "\t1", Flag::Default},
                      FlagCase{"letters_after", "12a", Flag::Default}, FlagCase{"bad_hex_digit", "0xG", Flag::Default}),
    [](const ::testing::TestParamInfo<FlagCase>& info) { return std::string(info.param.name); });

// ---- Value types ----

struct TypeCase {
    const char* name;
    const char* valueLine; // the stored "AutoDest" value
    const char* text;      // what ReadText gives, or null when it fails with the type error
    Flag flag;             // what ReadFlag gives (Default when the text is empty)
};

// Test names say which case failed; the raw bytes of the case would not.
void PrintTo(const TypeCase& c, std::ostream* os) { *os << c.name; }

class ValueTypeTest : public SettingsStoreTest, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(ValueTypeTest, TextTypesReadBackOtherTypesFail)
{
    const TypeCase& c = GetParam();
    writeFile(path, header + sectionLine + "\"AutoDest\"=" + c.valueLine + "\n");
    if (!c.text) {
        // The name is reported as the caller spelt it.
        EXPECT_EQ(errorOf([&] { store.ReadText("AutoSave", "AUTODEST", "d"); }), "Invalid data type for 'AUTODEST'");
        EXPECT_EQ(errorOf([&] { store.ReadFlag("Autosave", "AutoDest", true); }), "Invalid data type for 'AutoDest'");
        return;
    }
    EXPECT_EQ(store.ReadText("AutoSave", "AutoDest", "d"), c.text);
    EXPECT_EQ(store.ReadFlag("Autosave", "AutoDest", true), c.flag != Flag::False);
    EXPECT_EQ(store.ReadFlag("Autosave", "AutoDest", false), c.flag == Flag::True);
}

INSTANTIATE_TEST_SUITE_P(
    Types, ValueTypeTest,
    ::testing::Values(TypeCase{"dword", "dword:00000001", nullptr, Flag::Default},
                      TypeCase{"binary", "hex:01", nullptr, Flag::Default},
                      TypeCase{"multi_sz", "hex(7):31,00,00", nullptr, Flag::Default},
                      TypeCase{"empty_text", "\"\"", "", Flag::Default},
                      TypeCase{"dword_type_without_data", "hex(4):", "", Flag::Default},
                      TypeCase{"none_type_without_data", "hex(0):", "", Flag::Default},
                      TypeCase{"expand_sz_unexpanded", "hex(2):25,54,45,4d,50,25,00", "%TEMP%", Flag::Default},
                      TypeCase{"expand_sz_number", "hex(2):30,00", "0", Flag::False},
                      TypeCase{"sz_cut_at_first_nul", "hex(1):31,00,32", "1", Flag::True},
                      TypeCase{"sz_without_nul", "hex(1):31,32", "12", Flag::True}),
    [](const ::testing::TestParamInfo<TypeCase>& info) { return std::string(info.param.name); });

// ---- A store that cannot be created or read ----

TEST(SettingsStoreUnavailable, FolderThatCannotBeMadeGivesDefaultsOnReadAndFailsWrites)
{
    TempFolder folder;
    writeFile(folder.file("plainfile"), "not a folder");
    SettingsStore store(folder.file("plainfile/kelvane/registry.reg"));

    EXPECT_EQ(store.ReadText("AutoSave", "SourceDir", "/tmp"), "/tmp");
    EXPECT_TRUE(store.ReadFlag("Autosave", "AutoDest", true));
    EXPECT_FALSE(store.ReadFlag("Autosave", "AutoDest", false));
    EXPECT_EQ(errorOf([&] { store.WriteText("AutoSave", "SourceDir", "x"); }), "Failed to create key AutoSave");
    EXPECT_EQ(errorOf([&] { store.WriteFlag("Autosave", "AutoDest", true); }), "Failed to create key Autosave");
}

TEST(SettingsStoreUnavailable, FileThatCannotBeReadFailsReadsAndWrites)
{
    // A folder where the file should be: the values cannot be fetched, and a save must not
    // replace what it could not read.
    TempFolder folder;
    std::filesystem::create_directories(folder.file("kelvane/registry.reg"));
    SettingsStore store(folder.file("kelvane/registry.reg"));

    EXPECT_EQ(errorOf([&] { store.ReadText("AutoSave", "SourceDir", "/tmp"); }), "Failed to get data for 'SourceDir'");
    EXPECT_EQ(errorOf([&] { store.ReadFlag("Autosave", "AutoDest", true); }), "Failed to get data for 'AutoDest'");
    EXPECT_EQ(errorOf([&] { store.WriteText("AutoSave", "SourceDir", "x"); }), "Failed to set data for 'SourceDir'");
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("kelvane/registry.reg")));
}

TEST_F(SettingsStoreTest, NamesThatWouldBreakTheFileAreRefused)
{
    EXPECT_EQ(errorOf([&] { store.WriteText("AutoSave", "Bad\nName", "x"); }), "Failed to set data for 'Bad\nName'");
    EXPECT_EQ(errorOf([&] { store.WriteText("Bad\rSection", "V", "x"); }), "Failed to create key Bad\rSection");
    EXPECT_EQ(store.ReadText("AutoSave", "Bad", "dflt"), "dflt"); // the file is still readable
}

} // namespace
} // namespace kelvane::app
