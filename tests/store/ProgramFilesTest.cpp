// Internet.LOG, Account.LOG and Duration.tmp on a real disk.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdint>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "support/TemporaryFolder.h"
#include "store/AccountLog.h"
#include "store/ConnectionLog.h"
#include "store/DurationFile.h"

namespace pelmora {
namespace {

using testing::fileContent;
using testing::TemporaryFolder;

const std::string kHeader =
    "==================================\r\nPelmora connections log\r\n"
    "==================================\r\n";

LocalTime at(int year, int month, int day, int hour, int minute, int second) {
  LocalTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  return t;
}

void put(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

// A path nothing can be written to, even as root: its folder is a regular file.
std::filesystem::path unwritable(const TemporaryFolder& folder, const std::string& name) {
  put(folder / "not-a-folder", "x");
  return folder.path() / "not-a-folder" / name;
}

TEST(ConnectionLogTest, HeaderOnlyWhenTheLogIsMissing) {
  TemporaryFolder folder;
  const ConnectionLog log(folder / "Internet.LOG");
  EXPECT_TRUE(log.createHeaderIfMissing());
  EXPECT_EQ(fileContent(log.path()), kHeader);

  // An existing log is never examined or repaired, not even an empty one.
  put(log.path(), "");
  EXPECT_FALSE(log.createHeaderIfMissing());
  EXPECT_EQ(fileContent(log.path()), "");
  put(log.path(), "anything\n");
  EXPECT_FALSE(log.createHeaderIfMissing());
  EXPECT_EQ(fileContent(log.path()), "anything\n");
}

// A power cut can leave the last append as NUL bytes: the log's end is what was written before
// them, so a connect line left open is closed, and a summary already written is not written
// again.
TEST(ConnectionLogTest, TheEndIsTheLastByteWrittenBeforeNuls) {
  TemporaryFolder folder;
  const ConnectionLog log(folder / "Internet.LOG");
  const std::string connect = kHeader + "08.12.2026 10:00:00 - Connected";
  put(log.path(), connect + std::string(5000, '\0'));
  EXPECT_TRUE(log.endsInsideConnectEntry());
  const std::string summed = connect + "\r\n08.12.2026 10:01:00 - DisConnected\r\n" +
                             "SUM\r\n\r\n" + std::string(30, '\0');
  put(log.path(), summed);
  EXPECT_TRUE(
      log.placeSummary("SUM", ConnectionLog::disconnectEntry(LocalTime{2026, 12, 8, 10, 1, 0, 2})));
  EXPECT_EQ(fileContent(log.path()), summed);
  EXPECT_FALSE(log.endsInsideConnectEntry());
  put(log.path(), std::string(10, '\0'));
  EXPECT_FALSE(log.endsInsideConnectEntry());
}

TEST(ConnectionLogTest, EveryEntryByteForByte) {
  TemporaryFolder folder;
  const ConnectionLog log(folder / "Internet.LOG");
  log.createHeaderIfMissing();

  // A whole connection: connect line, disconnect line, summary line, empty line.
  log.appendConnect(at(2026, 3, 4, 9, 5, 7));
  EXPECT_EQ(fileContent(log.path()), kHeader + "04.03.2026 09:05:07 - Connected");
  log.appendDisconnect(at(2026, 3, 4, 10, 0, 0));
  log.appendSummary("         = 00:54:53 + [68.61666c]");
  std::string expected = kHeader +
                         "04.03.2026 09:05:07 - Connected\r\n"
                         "04.03.2026 10:00:00 - DisConnected\r\n"
                         "         = 00:54:53 + [68.61666c]\r\n\r\n";
  EXPECT_EQ(fileContent(log.path()), expected);

  log.appendConnect(at(2026, 12, 31, 23, 59, 59));
  log.appendCancel(at(2027, 1, 1, 0, 0, 1));
  expected +=
      "31.12.2026 23:59:59 - Connected\r\n"
      "01.01.2027 00:00:01 - Canceled\r\n\r\n";
  EXPECT_EQ(fileContent(log.path()), expected);

  // After a crash: the stored date keeps its own separator; the minutes form is in the system's
  // text encoding: UTF-8 on Linux, the Russian code page (CP1251) on Windows.
  log.appendConnect(at(2026, 3, 14, 23, 55, 0));
  DurationRecord stored;
  stored.hour = "00";
  stored.minute = "07";
  stored.second = "00";
  stored.date = "15:03:2026";
  log.appendRestoredDisconnect(stored);
  log.appendIgnored("12 мин.");
  expected +=
      "14.03.2026 23:55:00 - Connected\r\n"
      "15:03:2026 00:07:00 - DisConnected\r\n"
#ifdef _WIN32
      "         = 12 \xEC\xE8\xED. - \r\n\r\n";
#else
      "         = 12 мин. - \r\n\r\n";
#endif
  EXPECT_EQ(fileContent(log.path()), expected);

  EXPECT_TRUE(log.erase());
  EXPECT_EQ(fileContent(log.path()), kHeader);
}

TEST(ConnectionLogTest, EntriesBeforeTheHeaderCreateTheFile) {
  TemporaryFolder folder;
  const ConnectionLog log(folder / "Internet.LOG");
  log.appendDisconnect(at(2026, 1, 2, 3, 4, 5));
  EXPECT_EQ(fileContent(log.path()), "\r\n02.01.2026 03:04:05 - DisConnected\r\n");
}

TEST(ConnectionLogTest, UnwritableFolderLosesEntriesSilently) {
  TemporaryFolder folder;
  const ConnectionLog log(unwritable(folder, "Internet.LOG"));
  EXPECT_FALSE(log.createHeaderIfMissing());
  log.appendConnect(at(2026, 1, 1, 0, 0, 0));
  log.appendDisconnect(at(2026, 1, 1, 0, 0, 1));
  EXPECT_FALSE(log.erase());
  EXPECT_FALSE(std::filesystem::exists(log.path()));
}

TEST(AccountLogTest, RewriteReplacesTheWholeFile) {
  TemporaryFolder folder;
  const AccountLog log(folder / "Account.LOG");
  put(log.path(), "1234567890,123456789 and more\r\nsecond line\r\n");
  EXPECT_TRUE(log.rewrite("12,5"));
  EXPECT_EQ(fileContent(log.path()), "12,5\r\n");
  EXPECT_FALSE(std::filesystem::exists(folder / "Account.LOG.new"));
}

TEST(AccountLogTest, FirstTokenAfterBlanksTabsAndLineEnds) {
  TemporaryFolder folder;
  const AccountLog log(folder / "Account.LOG");
  EXPECT_EQ(log.readFirstToken().status, AccountToken::Status::Missing);

  struct Case {
    std::string content;
    std::string token;
  };
  for (const Case& c : std::vector<Case>{{"", ""},
                                         {" \t\r\n\r\n  ", ""},
                                         {"12,5\r\n", "12,5"},
                                         {"\r\n\t -3.5E-5 rest\r\n", "-3.5E-5"},
                                         {"abc", "abc"},
                                         {"1\t2", "1"}}) {
    put(log.path(), c.content);
    const AccountToken token = log.readFirstToken();
    EXPECT_EQ(token.status, AccountToken::Status::Read) << c.content;
    EXPECT_EQ(token.text, c.token) << c.content;
  }
}

TEST(AccountLogTest, TokenLengthIsBounded) {
  TemporaryFolder folder;
  const AccountLog log(folder / "Account.LOG");
  const std::string longest(AccountLog::kLongestToken, '9');

  put(log.path(), "  " + longest + "\r\n");
  EXPECT_EQ(log.readFirstToken().status, AccountToken::Status::Read);
  EXPECT_EQ(log.readFirstToken().text, longest);

  put(log.path(), longest + "9");
  EXPECT_EQ(log.readFirstToken().status, AccountToken::Status::TooLong);

  // A megabyte of blanks, then a megabyte of digits: read without holding either.
  put(log.path(), std::string(1 << 20, ' ') + std::string(1 << 20, '7'));
  const AccountToken token = log.readFirstToken();
  EXPECT_EQ(token.status, AccountToken::Status::TooLong);
  EXPECT_EQ(token.text.size(), AccountLog::kLongestToken);
}

TEST(AccountLogTest, FailedRewriteKeepsThePreviousFile) {
  TemporaryFolder folder;
  // A directory where the file should be: the temporary file is written, the rename fails.
  const AccountLog blocked(folder / "Account.LOG");
  std::filesystem::create_directory(blocked.path());
  EXPECT_FALSE(blocked.rewrite("5"));
  EXPECT_TRUE(std::filesystem::is_directory(blocked.path()));
  EXPECT_FALSE(std::filesystem::exists(folder / "Account.LOG.new"));
  EXPECT_EQ(blocked.readFirstToken().status, AccountToken::Status::Missing);

  const AccountLog nowhere(unwritable(folder, "Account.LOG"));
  EXPECT_FALSE(nowhere.rewrite("5"));
  EXPECT_EQ(nowhere.readFirstToken().status, AccountToken::Status::Missing);
}

// The file a protector tick at 00:07:00 on 15 March 2026 writes for a connection that began
// at 23:55 on the Saturday before and has lasted 720 seconds.
const std::string kSaturdayFile = "720 23 55 6 00 07 00\r\n15:03:2026";

TEST(DurationFileTest, WritesTwoLinesAndReadsThemBack) {
  TemporaryFolder folder;
  const DurationFile file(folder / "Duration.tmp");
  EXPECT_EQ(file.read().status, DurationReading::Status::Missing);

  ASSERT_TRUE(file.write(720, 23, 55, 6, at(2026, 3, 15, 0, 7, 0)));
  EXPECT_EQ(fileContent(file.path()), kSaturdayFile);
  const DurationReading reading = file.read();
  ASSERT_EQ(reading.status, DurationReading::Status::Read);
  EXPECT_EQ(reading.record.seconds, 720);
  EXPECT_EQ(reading.record.startHour, 23);
  EXPECT_EQ(reading.record.startMinute, 55);
  EXPECT_EQ(reading.record.weekday, 6);
  EXPECT_EQ(reading.record.hour, "00");
  EXPECT_EQ(reading.record.minute, "07");
  EXPECT_EQ(reading.record.second, "00");
  EXPECT_EQ(reading.record.date, "15:03:2026");

  // Small values unpadded in line 1, padded in the time and date; another time separator.
  const DurationFile dotted(folder / "Dotted.tmp", '.');
  ASSERT_TRUE(dotted.write(0, 0, 0, 0, at(2026, 1, 2, 3, 4, 5)));
  EXPECT_EQ(fileContent(dotted.path()), "0 0 0 0 03 04 05\r\n02.01.2026");
  EXPECT_EQ(dotted.read().record.date, "02.01.2026");

  file.remove();
  EXPECT_FALSE(std::filesystem::exists(file.path()));
  file.remove();  // a missing file is no error
}

TEST(DurationFileTest, AFileCutAnywhereIsDamaged) {
  for (std::size_t n = 0; n < kSaturdayFile.size(); ++n) {
    EXPECT_EQ(DurationFile::parse(kSaturdayFile.substr(0, n)).status,
              DurationReading::Status::Damaged)
        << "cut after " << n << " bytes";
  }
  EXPECT_EQ(DurationFile::parse(kSaturdayFile).status, DurationReading::Status::Read);
}

TEST(DurationFileTest, FieldsOutOfRangeOrMalformedAreDamaged) {
  for (const char* content : {
           "-1 23 55 6 00 07 00\r\n15:03:2026",           // negative duration
           "2147483648 23 55 6 00 07 00\r\n15:03:2026",   // beyond 32 bits
           "720 24 55 6 00 07 00\r\n15:03:2026",          // start hour
           "720 23 60 6 00 07 00\r\n15:03:2026",          // start minute
           "720 23 55 7 00 07 00\r\n15:03:2026",          // weekday
           "720 23 55 6 24 07 00\r\n15:03:2026",          // tick hour
           "720 23 55 6 00 60 00\r\n15:03:2026",          // tick minute
           "720 23 55 6 00 07 60\r\n15:03:2026",          // tick second
           "720 23 55 6 0 07 00\r\n15:03:2026",           // time not two digits
           "720 23 55 6 00 07\r\n15:03:2026",             // field missing
           "720 23 55 6 00 07 00 1\r\n15:03:2026",        // field too many
           "720  23 55 6 00 07 00\r\n15:03:2026",         // double blank
           "72x 23 55 6 00 07 00\r\n15:03:2026",          // not a number
           "+720 23 55 6 00 07 00\r\n15:03:2026",         // sign
           "720 23 55 6 00 07 00\r\n32:03:2026",          // day
           "720 23 55 6 00 07 00\r\n15:13:2026",          // month
           "720 23 55 6 00 07 00\r\n29:02:2026",          // no 29 February that year
           "720 23 55 6 00 07 00\r\n15:03:26",            // two-digit year
           "720 23 55 6 00 07 00\r\n15:03-2026",          // two separators
           "720 23 55 6 00 07 00\r\n15 03 2026",          // blank as separator
           "720 23 55 6 00 07 00\r\n15:03:2026\r\nmore",  // third line
           "720 23 55 6 00 07 00 15:03:2026",             // one line
       }) {
    EXPECT_EQ(DurationFile::parse(content).status, DurationReading::Status::Damaged) << content;
  }
  const std::string huge = "720 23 55 6 00 07 00\r\n15:03:2026" + std::string(200, '\n');
  EXPECT_EQ(DurationFile::parse(huge).status, DurationReading::Status::Damaged);
  // More seconds than have passed since the start it names (Saturday 23:55 to 00:07 on Sunday).
  for (const char* claim :
       {"2147483647 0 0 0 23 59 59\r\n29:02:2020", "4480 23 55 6 00 07 00\r\n15:03:2026"}) {
    EXPECT_EQ(DurationFile::parse(claim).status, DurationReading::Status::Damaged) << claim;
  }
  EXPECT_EQ(DurationFile::parse("4470 23 55 6 00 07 00\r\n15:03:2026").status,
            DurationReading::Status::Read);

  for (const char* content : {
           "720 23 55 6 00 07 00\n15:03:2026",        // bare line feed
           "720 23 55 6 00 07 00\r\n15:03:2026\r\n",  // trailing line end
           "600000 0 0 0 23 59 59\r\n29:02:2020",     // almost a week, leap day
       }) {
    EXPECT_EQ(DurationFile::parse(content).status, DurationReading::Status::Read) << content;
  }
}

TEST(DurationFileTest, UnwritableFolderIsSkipped) {
  TemporaryFolder folder;
  const DurationFile nowhere(unwritable(folder, "Duration.tmp"));
  EXPECT_FALSE(nowhere.write(5, 1, 2, 3, at(2026, 1, 1, 1, 2, 7)));
  EXPECT_EQ(nowhere.read().status, DurationReading::Status::Missing);
  nowhere.remove();

  // A directory in the file's place: no write, and the reader calls it missing, not damaged.
  const DurationFile blocked(folder / "Duration.tmp");
  std::filesystem::create_directory(blocked.path());
  EXPECT_FALSE(blocked.write(5, 1, 2, 3, at(2026, 1, 1, 1, 2, 7)));
  EXPECT_EQ(blocked.read().status, DurationReading::Status::Missing);
}

TEST(DurationFileTest, RemoveTakesALeftoverTemporaryFileToo) {
  TemporaryFolder folder;
  const DurationFile file(folder / "Duration.tmp");
  put(folder / "Duration.tmp.new", "720 23");
  file.remove();
  EXPECT_FALSE(std::filesystem::exists(folder / "Duration.tmp.new"));
}

#ifndef _WIN32
// A writer killed at random moments of its rewrites, many times: the file left behind is
// always one complete version, never a mixture or a cut. (A process forked mid-test: POSIX.)
TEST(DurationFileTest, AKilledWriterNeverLeavesAPartialFile) {
  TemporaryFolder folder;
  const DurationFile file(folder / "Duration.tmp");
  ASSERT_TRUE(file.write(1, 0, 0, 0, at(2026, 1, 1, 0, 0, 0)));

  std::mt19937 random(20260315);
  std::uniform_int_distribution<int> pause(0, 3000);
  int leftovers = 0;
  for (int round = 0; round < 150; ++round) {
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      // Contents of varying length, so a cut or a mixture could not pass for a whole file.
      for (std::uint32_t s = static_cast<std::uint32_t>(round);; s = s * 7 + 13) {
        const auto seconds = static_cast<std::int32_t>(s & 0x7fffffff);
        // Never more than the time a start and a tick of the same minute allow.
        file.write(seconds % 1000 == 0 ? 0 : seconds % 3000, seconds % 24, seconds % 60,
                   seconds % 7,
                   at(2026, 1 + seconds % 12, 1 + seconds % 28, seconds % 24, seconds % 60, 5));
      }
    }
    usleep(static_cast<useconds_t>(pause(random)));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    if (std::filesystem::exists(folder / "Duration.tmp.new")) ++leftovers;
    const DurationReading reading = file.read();
    ASSERT_EQ(reading.status, DurationReading::Status::Read)
        << "round " << round << ": \"" << fileContent(file.path()) << "\"";
  }
  // Not asserted (it depends on timing), but shows that kills landed inside a rewrite.
  std::cout << "kills that left a temporary file behind: " << leftovers << " of 150\n";
}
#endif

}  // namespace
}  // namespace pelmora
