// The settings file: what the store keeps of other programs' keys and values, the header and
// line-end variants it reads, texts that need escaping, damaged files, and where it lives.

#include "regreader.h"
#include "regwriter.h"
#include "settingserror.h"
#include "settingsstore.h"
#include "storelocation.h"
#include "test_settings_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

namespace kelvane::app {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

class SettingsFileTest : public ::testing::Test {
protected:
    RegDocument parsed() const { return RegReader::read(readFile(path), path); }

    TempFolder folder;
    std::string path = folder.file("kelvane/registry.reg");
    SettingsStore store{path};
};

// Keys and values the program does not know, in every data form a registry file may hold.
const std::string foreignFile = "REGEDIT4\n"
                                "\n"
                                "; a comment\n"
                                "[HKEY_CURRENT_USER\\Software\\Someone]\n"
                                "@=\"default value\"\n"
                                "\"Quote \\\"and\\\\ slash\"=\"a \\\"b\\\" c:\\\\d\"\n"
                                "\n"
                                "[HKEY_LOCAL_MACHINE\\Software\\Kelvane\\AutoSave]\n"
                                "\"Window\"=dword:0000ff10\n"
                                "\"SourceDir\"=\"/old\"\n"
                                "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\n"
                                "  17,18,19,1a,1b,1c,1d,1e,1f,20\n"
                                "\"Path\"=hex(2):25,48,4f,4d,45,25,00\n"
                                "\"List\"=hex(7):61,00,62,00,00\n"
                                "\"Nothing\"=hex(0):\n"
                                "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\n"
                                "\n"
                                "[HKEY_LOCAL_MACHINE\\Software\\Kelvane\\Later\\Deeper]\n"
                                "\"x\"=\"y\"\n";

TEST_F(SettingsFileTest, SavingKeepsEveryOtherKeyAndValue)
{
    writeFile(path, foreignFile);
    RegDocument expected = RegReader::read(foreignFile, path);
    RegKey& section = expected.createKey({"HKEY_LOCAL_MACHINE", "Software", "Kelvane", "AutoSave"});
    RegDocument::setValue(section, {"SourceDir", regSz, std::string("/new\0", 5)});
    RegDocument::setValue(section, {"AutoDest", regSz, std::string("1\0", 2)});

    store.WriteText("AutoSave", "SourceDir", "/new");
    store.WriteFlag("Autosave", "AutoDest", true);
    EXPECT_EQ(store.ReadText("AutoSave", "SourceDir", ""), "/new");
    EXPECT_EQ(parsed().keys(), expected.keys());
}

TEST_F(SettingsFileTest, ForeignValuesSurviveTheirOwnRoundTripByteForByte)
{
    // Written once by the store, the file is in its own form; a further save changes nothing
    // but the value it writes.
    writeFile(path, foreignFile);
    store.WriteText("AutoSave", "Lang", "x");
    const std::string once = readFile(path);
    store.WriteText("AutoSave", "Lang", "y");
    store.WriteText("AutoSave", "Lang", "x");
    EXPECT_EQ(readFile(path), once);
}

struct HeaderCase {
    const char* name;
    const char* header;
    const char* lineEnd;
};

// Test names say which case failed; the raw bytes of the case would not.
void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.name; }

class SettingsHeaderTest : public SettingsFileTest, public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(SettingsHeaderTest, FilesFromElsewhereLoadAndAreRewrittenInOurForm)
{
    const HeaderCase& c = GetParam();
    const std::string end = c.lineEnd;
    writeFile(path, std::string(c.header) + end + end + "[HKEY_LOCAL_MACHINE\\Software\\Kelvane\\AutoSave]" + end +
                        "\"SourceDir\"=\"/src\"" + end + "\"Bin\"=hex:01,\\" + end + "  02" + end);
    EXPECT_EQ(store.ReadText("AutoSave", "SourceDir", ""), "/src");
    store.WriteText("AutoSave", "DestPas", "/d.pas");
    EXPECT_EQ(readFile(path), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Kelvane\\AutoSave]\n"
                              "\"SourceDir\"=\"/src\"\n\"Bin\"=hex:01,02\n\"DestPas\"=\"/d.pas\"\n");
}

INSTANTIATE_TEST_SUITE_P(Variants, SettingsHeaderTest,
                         ::testing::Values(HeaderCase{"regedit4_lf", "REGEDIT4", "\n"},
                                           HeaderCase{"regedit4_crlf", "REGEDIT4", "\r\n"},
                                           HeaderCase{"version5_lf", "Windows Registry Editor Version 5.00", "\n"},
                                           HeaderCase{"version5_crlf", "Windows Registry Editor Version 5.00", "\r\n"},
                                           HeaderCase{"utf8_bom", "\xEF\xBB\xBFREGEDIT4", "\r\n"}),
                         [](const ::testing::TestParamInfo<HeaderCase>& info) { return std::string(info.param.name); });

TEST_F(SettingsFileTest, AnyTextRoundTripsAndLeavesAReadableFile)
{
    const std::string texts[] = {"",
                                 "plain",
                                 "  spaces kept  ",
                                 "C:\\TEMP\\",
                                 "say \"hi\"",
                                 "\\\"",
                                 "ends in backslash\\",
                                 "line\nbreak",
                                 "carriage\rreturn",
                                 "\r\n",
                                 "high bytes \xE9\xFF\x80",
                                 "[not a key]",
                                 "; not a comment",
                                 "hex:01",
                                 std::string(500, 'x')};
    for (const std::string& text : texts) {
        store.WriteText("AutoSave", "Text", text);
        EXPECT_EQ(store.ReadText("AutoSave", "Text", "default"), text);
        EXPECT_NO_THROW(parsed());
    }
}

TEST_F(SettingsFileTest, SaveKeepsThePermissionsAndLeavesNoTemporaryFile)
{
    store.WriteText("AutoSave", "SourceDir", "a");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    store.WriteText("AutoSave", "SourceDir", "b");
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.file("kelvane")))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(SettingsFileTest, AnEmptyFileHoldsNoSettings)
{
    writeFile(path, "");
    EXPECT_EQ(store.ReadText("AutoSave", "SourceDir", "/tmp"), "/tmp");
    EXPECT_EQ(readFile(path), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Kelvane]\n");
}

// ---- Damaged files: reported with the line and the problem, never overwritten ----

struct DamageCase {
    const char* name;
    std::string contents;
    int line;
    const char* problem;
};

// Test names say which case failed; the raw bytes of the case would not.
void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

class DamagedFileTest : public SettingsFileTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedFileTest, IsReportedAndLeftAlone)
{
    const DamageCase& c = GetParam();
    writeFile(path, c.contents);
    const std::string expected = "Settings file \"" + path + "\", line " + std::to_string(c.line) + ": " + c.problem;
    try {
        store.ReadText("AutoSave", "SourceDir", "/tmp");
        ADD_FAILURE() << "the read gave a value";
    } catch (const StoreDamagedError& error) {
        EXPECT_EQ(error.what(), expected);
        EXPECT_EQ(error.line(), c.line);
    }
    EXPECT_THROW(store.WriteText("AutoSave", "SourceDir", "/x"), StoreDamagedError);
    EXPECT_THROW(store.ReadFlag("Autosave", "AutoDest", true), StoreDamagedError);
    EXPECT_EQ(readFile(path), c.contents);
}

const std::string key = "[HKEY_LOCAL_MACHINE\\Software\\Kelvane\\AutoSave]\n";

INSTANTIATE_TEST_SUITE_P(
    Gallery, DamagedFileTest,
    ::testing::Values(
        DamageCase{"no_header", "[HKEY_LOCAL_MACHINE\\Software\\Kelvane]\n", 1,
                   "the first line is not \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\""},
        DamageCase{"other_text", "SourceDir=/tmp\n", 1,
                   "the first line is not \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\""},
        DamageCase{"utf16", std::string("\xFF\xFER\0E\0", 6), 1,
                   "the file is UTF-16 text; it must be saved as 8-bit text"},
        DamageCase{"value_before_key", "REGEDIT4\n\n\"SourceDir\"=\"/tmp\"\n", 3,
                   "a value comes before the first key"},
        DamageCase{"unknown_line", "REGEDIT4\n" + key + "SourceDir=/tmp\n", 3,
                   "the line is neither a key, a value nor a comment"},
        DamageCase{"key_not_closed", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\n", 2,
                   "the key name has no closing \"]\""},
        DamageCase{"text_after_key", "REGEDIT4\n[HKEY_LOCAL_MACHINE] x\n", 2, "unexpected text after the key name"},
        DamageCase{"empty_key_name", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\\\Software]\n", 2,
                   "the key path has an empty key name"},
        DamageCase{"empty_key", "REGEDIT4\n[]\n", 2, "the key path has an empty key name"},
        DamageCase{"key_deletion", "REGEDIT4\n[-HKEY_LOCAL_MACHINE\\Software\\Kelvane]\n", 2,
                   "a key deletion has no place in the settings file"},
        DamageCase{"value_deletion", "REGEDIT4\n" + key + "\"SourceDir\"=-\n", 3,
                   "a value deletion has no place in the settings file"},
        DamageCase{"name_not_closed", "REGEDIT4\n" + key + "\"SourceDir=\"/tmp\n", 3,
                   "the value name is not followed by \"=\""},
        DamageCase{"name_never_closed", "REGEDIT4\n" + key + "\"SourceDir\n", 3, "a quoted text has no closing quote"},
        DamageCase{"text_not_closed", "REGEDIT4\n" + key + "\"SourceDir\"=\"/tmp\n", 3,
                   "a quoted text has no closing quote"},
        DamageCase{"escaped_closing_quote", "REGEDIT4\n" + key + "\"SourceDir\"=\"C:\\\"\n", 3,
                   "a quoted text has no closing quote"},
        DamageCase{"text_after_value", "REGEDIT4\n" + key + "\"SourceDir\"=\"/tmp\" x\n", 3,
                   "unexpected text after the quoted value"},
        DamageCase{"unknown_data", "REGEDIT4\n" + key + "\"AutoDest\"=1\n", 3,
                   "the value data is not a quoted text, dword: or hex:"},
        DamageCase{"dword_too_long", "REGEDIT4\n" + key + "\"AutoDest\"=dword:000000001\n", 3,
                   "a dword value needs 1 to 8 hexadecimal digits"},
        DamageCase{"dword_not_hex", "REGEDIT4\n" + key + "\"AutoDest\"=dword:0000000g\n", 3,
                   "a dword value needs 1 to 8 hexadecimal digits"},
        DamageCase{"hex_type_not_closed", "REGEDIT4\n" + key + "\"AutoDest\"=hex(2:00\n", 3,
                   "a hex(type) value needs a type of 1 to 8 hexadecimal digits and \"):\""},
        DamageCase{"hex_type_empty", "REGEDIT4\n" + key + "\"AutoDest\"=hex():00\n", 3,
                   "a hex(type) value needs a type of 1 to 8 hexadecimal digits and \"):\""},
        DamageCase{"hex_byte_too_long", "REGEDIT4\n" + key + "\"AutoDest\"=hex:001\n", 3,
                   "a hex byte list holds \"001\", not a byte of 1 or 2 hexadecimal digits"},
        DamageCase{"hex_empty_byte", "REGEDIT4\n" + key + "\"AutoDest\"=hex:01,,02\n", 3,
                   "a hex byte list holds \"\", not a byte of 1 or 2 hexadecimal digits"},
        DamageCase{"continuation_at_end", "REGEDIT4\n" + key + "\"AutoDest\"=hex:01,\\\n", 3,
                   "the last line ends with a continuation \"\\\""}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.name); });

TEST(SettingsFileMutations, DamagedBytesAreReportedOrReadAndWhatIsReadWritesBackTheSame)
{
    // Thousands of files a byte or a few away from a rich one: each either reads or is
    // reported as damaged, and whatever reads comes back unchanged from our own writing.
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    const char interesting[] = {'"', '\\', '[', ']', '=', ',', ':', '@', '\n', '\r', '\0', ';', '-', '(', ')', 'x'};
    int read = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = foreignFile;
        for (int edits = 1 + static_cast<int>(next() % 3); edits > 0; --edits) {
            const std::size_t at = next() % bytes.size();
            const std::uint32_t choice = next();
            if (choice % 3 == 0)
                bytes[at] = interesting[(choice >> 8) % sizeof interesting];
            else if (choice % 3 == 1)
                bytes.erase(at, 1 + (choice >> 8) % 4);
            else
                bytes.insert(at, 1, static_cast<char>(choice >> 8));
            if (bytes.empty())
                bytes = "x";
        }
        try {
            const RegDocument document = RegReader::read(bytes, "mutated");
            ++read;
            EXPECT_EQ(RegReader::read(RegWriter::write(document), "written").keys(), document.keys()) << bytes;
        } catch (const StoreDamagedError&) {
        }
    }
    EXPECT_GT(read, 0); // some mutations keep the file readable, so the round trip was tried
}

// ---- Where the store lives ----

TEST(SettingsLocation, IsKelvaneRegistryInTheConfigurationFolder)
{
    TempFolder folder;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", folder.path().c_str(), 1);
    const std::string path = defaultStorePath();
    if (old)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(path, folder.path() + "/kelvane/registry.reg");
}

} // namespace
} // namespace kelvane::app
