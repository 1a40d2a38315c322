// The drive exports of the real DLL on real drives. drive-machine mounts tmpfs
// volumes of exact sizes as drives D: to I: (and an empty floppy drive A:), so
// every text is known; each answer is also checked against the Win32 calls
// made here directly. Cases that need those drives skip, saying why, where
// they could not be mounted.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "korvex_dll.h"
#include "support/extended_precision.h"

namespace korvex::tests {
namespace {

bool drives_mounted() {
  const char* state = std::getenv("KORVEX_TEST_DRIVES");
  return state != nullptr && std::string(state) == "mounted";
}

std::string why_unmounted() {
  const char* reason = std::getenv("KORVEX_TEST_DRIVES_UNAVAILABLE");
  return reason != nullptr ? reason : "the program was not started by drive-machine";
}

#define REQUIRE_MOUNTED_DRIVES()                                                      \
  if (!drives_mounted()) GTEST_SKIP() << "tmpfs drives not mounted: " << why_unmounted()

// The letters of the mounted machine that answer a volume query, in order.
constexpr const char* kMountedLetters = "CDEFGHI";

// What the ten getters give for the selected drive.
struct DriveTexts {
  std::string letter, file_system, label, serial, type, total, free, used, used_percent,
      free_percent;
  bool operator==(const DriveTexts&) const = default;
};

void PrintTo(const DriveTexts& d, std::ostream* out) {
  *out << d.letter << " [" << d.file_system << "] [" << d.label << "] " << d.serial << ' '
       << d.type << " [" << d.total << "] [" << d.free << "] [" << d.used << "] "
       << d.used_percent << ' ' << d.free_percent;
}

class DriveExports : public ::testing::Test {
 protected:
  KorvexDll dll;

  void SetUp() override { ASSERT_TRUE(dll.loaded()); }

  std::string answer(const char* getter) {
    dll.call(getter);
    return dll.get_file();
  }

  std::int32_t list() {
    dll.call("ListDrives");
    return dll.get_data();
  }

  void select(std::int32_t index) {
    dll.set_data(index);
    dll.call("SelectDrive");
  }

  // Selects the listed drive with that letter; false when it is not listed.
  bool select_letter(char letter) {
    const std::int32_t count = dll.get_data();
    for (std::int32_t i = 0; i < count; ++i) {
      select(i);
      if (answer("GetDriveLetter") == std::string(1, letter)) return true;
    }
    return false;
  }

  DriveTexts selected_texts() {
    return {answer("GetDriveLetter"), answer("GetDriveFileSystem"), answer("GetVolumeLabel"),
            answer("GetVolumeSerial"), answer("GetDriveType"),      answer("GetTotalSpace"),
            answer("GetFreeSpace"),    answer("GetUsedSpace"),      answer("GetUsedPercent"),
            answer("GetFreePercent")};
  }
};

// The system's own answers for one drive.
struct SystemDrive {
  UINT type = DRIVE_NO_ROOT_DIR;
  bool volume = false;
  char label[MAX_PATH] = {};
  char file_system[MAX_PATH] = {};
  DWORD serial = 0;
  ULARGE_INTEGER caller_free{};
  ULARGE_INTEGER total{};

  explicit SystemDrive(char letter) {
    const char root[] = {letter, ':', '\\', '\0'};
    type = GetDriveTypeA(root);
    if (type == DRIVE_NO_ROOT_DIR) return;
    volume = GetVolumeInformationA(root, label, MAX_PATH, &serial, nullptr, nullptr, file_system,
                                   MAX_PATH) != 0;
    GetDiskFreeSpaceExA(root, &caller_free, &total, nullptr);
  }
  bool listed() const { return type != DRIVE_NO_ROOT_DIR && volume; }
};

std::string type_name(UINT type) {
  static const char* const kNames[] = {"DRIVE_UNKNOWN", "DRIVE_NO_ROOT_DIR", "DRIVE_REMOVABLE",
                                       "DRIVE_FIXED",   "DRIVE_REMOTE",      "DRIVE_CDROM",
                                       "DRIVE_RAMDISK"};
  return kNames[type];
}

std::string bytes_text(ULONGLONG bytes) { return std::to_string(bytes) + " B "; }

TEST_F(DriveExports, ListsTheDrivesWhoseVolumeAnswersInLetterOrder) {
  std::string expected;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (SystemDrive(letter).listed()) expected += letter;
  }
  const std::int32_t count = list();
  std::string letters;
  for (std::int32_t i = 0; i < count; ++i) {
    select(i);
    letters += answer("GetDriveLetter");
  }
  EXPECT_EQ(letters, expected);
  if (drives_mounted()) {
    EXPECT_EQ(letters, kMountedLetters) << "A: has no medium and B: is not mapped";
  }
}

TEST_F(DriveExports, AnswersAsTheSystemCallsDo) {
  const std::int32_t count = list();
  ASSERT_GT(count, 0);
  dll.set_align(0, 0);
  for (std::int32_t i = 0; i < count; ++i) {
    select(i);
    const DriveTexts texts = selected_texts();
    const SystemDrive system(texts.letter.at(0));
    EXPECT_EQ(texts.file_system, system.file_system) << texts.letter;
    EXPECT_EQ(texts.label, system.label) << texts.letter;
    EXPECT_EQ(texts.serial, std::to_string(static_cast<std::int32_t>(system.serial)))
        << texts.letter;
    EXPECT_EQ(texts.type, type_name(system.type)) << texts.letter;
    EXPECT_EQ(texts.total, bytes_text(system.total.QuadPart)) << texts.letter;
    // C: is the build machine's own file system, whose free space other
    // processes change between the two readings.
    if (texts.letter != "C") {
      EXPECT_EQ(texts.free, bytes_text(system.caller_free.QuadPart)) << texts.letter;
      EXPECT_EQ(texts.used, bytes_text(system.total.QuadPart - system.caller_free.QuadPart))
          << texts.letter;
    }
  }
}

TEST_F(DriveExports, GiveTheTextsOfTheMountedDrives) {
  REQUIRE_MOUNTED_DRIVES();
  const DriveTexts expected[] = {
      {"D", "CDFS", "KORVEX CD", "305441741", "DRIVE_CDROM", "16 KB", "8 KB", "8 KB", "50", "50"},
      {"E", "NTFS", "KORVEX", "-1531723055", "DRIVE_FIXED", "32 KB", "24 KB", "8 KB", "25", "75"},
      // 1 page of 8: 12.5 % rounds to 12, 87.5 % to 88.
      {"F", "NTFS", "", "1174405120", "DRIVE_FIXED", "32 KB", "28 KB", "4 KB", "12", "88"},
      {"G", "NTFS", "", "1191182336", "DRIVE_RAMDISK", "5120 GB", "5120 GB", "0 B ", "0", "100"},
      {"H", "NTFS", "DATA", "1207959552", "DRIVE_FIXED", "74.5 GB", "74.5 GB", "4 KB", "0", "100"},
      {"I", "NTFS", "", "1224736768", "DRIVE_REMOTE", "224 KB", "196 KB", "28 KB", "12", "88"},
  };
  list();
  for (const DriveTexts& drive : expected) {
    ASSERT_TRUE(select_letter(drive.letter[0])) << drive.letter;
    EXPECT_EQ(selected_texts(), drive);
  }
}

TEST_F(DriveExports, WriteSizesInEveryModeAndEveryNumberOfPlaces) {
  REQUIRE_MOUNTED_DRIVES();
  struct Case {
    char letter;
    const char* getter;
    std::int32_t mode;
    std::vector<const char*> texts;  // for 0 to 5 decimal places
  };
  const std::string h_bytes = "80026361856 B ";
  const std::string h_kilobytes = "78150744 KB";
  const Case cases[] = {
      {'H', "GetTotalSpace", -1,
       {"75 GB", "74.5 GB", "74.53 GB", "74.53 GB", "74.5304 GB", "74.53036 GB"}},
      {'H', "GetTotalSpace", 0,
       {h_bytes.c_str(), h_bytes.c_str(), h_bytes.c_str(), h_bytes.c_str(), h_bytes.c_str(),
        h_bytes.c_str()}},
      {'H', "GetTotalSpace", 1,
       {h_kilobytes.c_str(), h_kilobytes.c_str(), h_kilobytes.c_str(), h_kilobytes.c_str(),
        h_kilobytes.c_str(), h_kilobytes.c_str()}},
      {'H', "GetTotalSpace", 2,
       {"76319 MB", "76319.1 MB", "76319.09 MB", "76319.086 MB", "76319.0859 MB",
        "76319.08594 MB"}},
      {'H', "GetTotalSpace", 3,
       {"75 GB", "74.5 GB", "74.53 GB", "74.53 GB", "74.5304 GB", "74.53036 GB"}},
      {'F', "GetFreeSpace", 2, {"0 MB", "0 MB", "0.03 MB", "0.027 MB", "0.0273 MB", "0.02734 MB"}},
      {'F', "GetFreeSpace", 3, {"0 GB", "0 GB", "0 GB", "0 GB", "0 GB", "0.00003 GB"}},
      {'F', "GetUsedSpace", 2, {"0 MB", "0 MB", "0 MB", "0.004 MB", "0.0039 MB", "0.00391 MB"}},
      {'F', "GetUsedSpace", -1, {"4 KB", "4 KB", "4 KB", "4 KB", "4 KB", "4 KB"}},
      // 5 TiB in automatic mode stays in gigabytes.
      {'G', "GetTotalSpace", -1,
       {"5120 GB", "5120 GB", "5120 GB", "5120 GB", "5120 GB", "5120 GB"}},
  };
  list();
  for (const Case& c : cases) {
    ASSERT_TRUE(select_letter(c.letter)) << c.letter;
    for (std::int32_t places = 0; places <= 5; ++places) {
      dll.set_align(c.mode, places);
      EXPECT_EQ(answer(c.getter), c.texts[static_cast<std::size_t>(places)])
          << c.letter << ": " << c.getter << ", mode " << c.mode << ", " << places << " places";
    }
  }
}

TEST_F(DriveExports, SetAlignKeepsBothSettingsWhenEitherIsOutOfRange) {
  ASSERT_GT(list(), 0);
  select(0);
  const std::string bytes = bytes_text(SystemDrive(answer("GetDriveLetter").at(0)).total.QuadPart);
  dll.set_align(0, 2);
  EXPECT_EQ(answer("GetTotalSpace"), bytes);
  for (const auto& [mode, places] : {std::pair{3, 6}, {4, 0}, {-2, 0}, {1, -1}}) {
    dll.set_align(mode, places);
    EXPECT_EQ(answer("GetTotalSpace"), bytes) << "mode " << mode << ", " << places << " places";
  }
  dll.set_align(3, 0);
  EXPECT_TRUE(answer("GetTotalSpace").ends_with(" GB"));
}

TEST_F(DriveExports, UnusableSelectionsLeaveTheTextResult) {
  const std::int32_t count = list();
  ASSERT_GT(count, 0);
  const std::pair<const char*, std::function<void()>> unselections[] = {
      {"index -1", [&] { select(-1); }},
      {"index equal to the count", [&] { select(count); }},
      {"a second ListDrives", [&] { list(); }},
  };
  for (const auto& [why, unselect] : unselections) {
    select(0);
    const std::string letter = answer("GetDriveLetter");
    unselect();
    EXPECT_EQ(answer("GetDriveType"), letter) << why;
    EXPECT_EQ(answer("GetTotalSpace"), letter) << why;
  }
}

TEST_F(DriveExports, GiveTheThreadItsErrorModeBack) {
  const DWORD process_mode = GetErrorMode();
  for (const DWORD mode : {DWORD{0}, DWORD{SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX}}) {
    ASSERT_TRUE(SetThreadErrorMode(mode, nullptr));
    list();
    EXPECT_EQ(GetThreadErrorMode(), mode);
    EXPECT_EQ(GetErrorMode(), process_mode);
  }
  SetThreadErrorMode(0, nullptr);
}

// Percentages are computed by ListDrives and sizes by the getters; both must
// come out the same whatever precision the host thread runs with, and hand
// the host its control word back.
TEST_F(DriveExports, GiveTheSameTextsUnderEveryHostControlWord) {
  REQUIRE_MOUNTED_DRIVES();
  const std::uint16_t saved = x87_control_word();
  for (const std::uint16_t host : {std::uint16_t{0x027F}, std::uint16_t{0x037F}}) {
    set_x87_control_word(host);
    list();
    EXPECT_EQ(x87_control_word(), host);
    ASSERT_TRUE(select_letter('I'));
    // 200704 of 229376 free: at 53 bits the hundredth rounds so that this is 87.
    EXPECT_EQ(answer("GetFreePercent"), "88") << std::hex << host;
    EXPECT_EQ(answer("GetUsedPercent"), "12") << std::hex << host;
    ASSERT_TRUE(select_letter('H'));
    dll.set_align(-1, 5);
    EXPECT_EQ(answer("GetTotalSpace"), "74.53036 GB") << std::hex << host;
    dll.set_align(2, 5);
    EXPECT_EQ(answer("GetFreeSpace"), "76319.08203 MB") << std::hex << host;
    EXPECT_EQ(x87_control_word(), host) << "after the exports";
  }
  set_x87_control_word(saved);
}

}  // namespace
}  // namespace korvex::tests
