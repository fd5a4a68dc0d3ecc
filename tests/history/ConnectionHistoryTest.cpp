#include "history/ConnectionHistory.h"
#include "history/RunningStatus.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace pelmora {
namespace {

const std::string kHeader =
    "==================================\r\n"
    "Pelmora connections log\r\n"
    "==================================\r\n";

// Rows with no zone offset, as the log's own times.
const UtcOffsetOf kNoOffset = [](const LogTime&) { return std::optional<int>(); };

std::vector<std::string> csv(const ConnectionHistory& history) {
  std::vector<std::string> rows;
  for (const LoggedConnection& c : history.connections) rows.push_back(csvRow(c, kNoOffset));
  return rows;
}

// Every entry the program writes, each kind of connection once, as the writers leave them.
TEST(ConnectionHistoryTest, EveryKindOfConnection) {
  const std::string log = kHeader +
                          // counted, the amount with a comma
                          "08.12.2026 10:00:00 - Connected\r\n"
                          "08.12.2026 10:01:40 - DisConnected\r\n"
                          "         = 00:01:45 + [1,75c]\r\n\r\n"
                          // 27 hours: the dates differ and the hours pass 24
                          "01.03.2026 22:00:00 - Connected\r\n"
                          "03.03.2026 01:30:00 - DisConnected\r\n"
                          "         = 27:30:05 + [1650.083k]\r\n\r\n"
                          // rounded up to whole minutes
                          "04.03.2026 09:05:07 - Connected\r\n"
                          "04.03.2026 09:16:10 - DisConnected\r\n"
                          "         = 12 мин. + [14.4c]\r\n\r\n"
                          // quit while connected
                          "31.12.2026 23:59:59 - Connected\r\n"
                          "01.01.2027 00:00:01 - Canceled\r\n\r\n"
                          // crashed, restored and counted; then crashed, restored and ignored
                          "14.03.2026 23:55:00 - Connected\r\n"
                          "15:03:2026 00:07:00 - DisConnected\r\n"
                          "         = 00:12:00 + [15c]\r\n\r\n"
                          "16.03.2026 08:00:00 - Connected\r\n"
                          "16:03:2026 08:00:35 - DisConnected\r\n"
                          "         = 00:00:35 - \r\n\r\n"
                          // crashed with an unreadable crash file
                          "17.03.2026 08:00:00 - Connected\r\n"
                          "         = --:--:-- - \r\n\r\n"
                          // crashed after its disconnect, before its summary: both disconnects
                          "18.03.2026 08:00:00 - Connected\r\n"
                          "18.03.2026 08:10:00 - DisConnected\r\n"
                          "18:03:2026 08:10:00 - DisConnected\r\n"
                          "         = 00:10:00 + [6c]\r\n\r\n"
                          // crashed before the first protector tick: no end at all
                          "19.03.2026 08:00:00 - Connected\r\n"
                          // running now: the connect line is still open
                          "20.03.2026 08:00:00 - Connected";
  const ConnectionHistory history = readConnectionHistory(log);

  EXPECT_EQ(history.skippedLines, 0u);
  // Line ends of any kind give the same connections.
  std::string crOnly = log;
  std::erase(crOnly, '\n');
  std::string lfOnly = log;
  std::erase(lfOnly, '\r');
  EXPECT_EQ(csv(readConnectionHistory(crOnly)), csv(history));
  EXPECT_EQ(csv(readConnectionHistory(lfOnly)), csv(history));
  EXPECT_EQ(csv(history), (std::vector<std::string>{
                              "2026-12-08T10:00:00,2026-12-08T10:01:40,105,1.75,c,0,0",
                              "2026-03-01T22:00:00,2026-03-03T01:30:00,99005,1650.083,k,0,0",
                              "2026-03-04T09:05:07,2026-03-04T09:16:10,720,14.4,c,0,0",
                              "2026-12-31T23:59:59,2027-01-01T00:00:01,,,,0,1",
                              "2026-03-14T23:55:00,2026-03-15T00:07:00,720,15,c,1,0",
                              "2026-03-16T08:00:00,2026-03-16T08:00:35,35,,,1,0",
                              "2026-03-17T08:00:00,,,,,1,0",
                              "2026-03-18T08:00:00,2026-03-18T08:10:00,600,6,c,1,0",
                              "2026-03-19T08:00:00,,,,,0,0",
                              "2026-03-20T08:00:00,,,,,0,0",
                          }));
}

// Nothing is guessed: each line that is no entry, or no entry in its place, is counted and the
// connections around it come out as their own lines tell them.
TEST(ConnectionHistoryTest, DamagedForeignAndMisplacedLinesAreSkippedAndCounted) {
  const ConnectionHistory history = readConnectionHistory(
      "04.03.2026 10:00:00 - DisConnected\n"  // no connect before it
      "         = 00:01:00 + [1c]\n"          // nor anything to sum up
      "note to self: call the provider\n"
      "04.03.2026 11:00:00 - Connected\n"
      "31.02.2026 11:00:00 - Connected\n"  // no such day
      "04.03.2026 11:30:00 - DisConnected\n"
      "04.03.2026 11:30:00 - DisConnected\n"  // a second disconnect
      "         = 00:30:00 + [3O,5c]\n"       // a letter O among the digits
      "         = 00:30:00 + [30,5x]\n"       // no such unit
      "         = 00:3:00 + [30,5c]\n"        // a minute of one digit
      "         = 00:60:00 + [1c]\n"          // no minute 60
      "         = 00:30:00 + [30,5c]\n"
      "         = 00:30:00 + [30,5c]\n"  // summed up twice
      "\n"
      "05.03.2026 11:00:00 - Connected and more\n"
      "05.03.2026 25:00:00 - Connected\n");

  EXPECT_EQ(history.skippedLines, 12u);
  EXPECT_EQ(csv(history),
            std::vector<std::string>{"2026-03-04T11:00:00,2026-03-04T11:30:00,1800,30.5,c,0,0"});
}

// A power cut can leave an append as NUL bytes: in the middle of a line (the disconnect after
// a connect line, the next entry appended after it), alone, or at the end. None of them hides
// the entries around it, nor counts as a damaged line.
TEST(ConnectionHistoryTest, NulRunsAPowerCutLeftHideNoEntry) {
  const std::string nuls(40, '\0');
  std::istringstream in(kHeader + "08.12.2026 10:00:00 - Connected" + nuls +
                        "\r\n08:12:2026 10:00:30 - DisConnected\r\n"
                        "         = 00:00:35 + [1c]\r\n\r\n" +
                        nuls + "08.12.2026 11:00:00 - Connected" + nuls +
                        "08.12.2026 12:00:00 - Connected\r\n"
                        "08.12.2026 12:01:00 - DisConnected\r\n" +
                        nuls + "\r\n" + nuls);
  std::vector<LoggedConnection> read;
  ConnectionLogReader reader([&](const LoggedConnection& c) { read.push_back(c); });
  ASSERT_TRUE(readLogStream(in, reader));
  EXPECT_EQ(reader.skippedLines(), 0u);
  ASSERT_EQ(read.size(), 3u);
  EXPECT_TRUE(read[0].restored);
  EXPECT_EQ(read[0].seconds, 35);
  EXPECT_EQ(read[1].start.hour, 11);
  EXPECT_FALSE(read[1].end);
  EXPECT_EQ(read[2].end->minute, 1);
  // The running connection is told by the last entry that was written.
  EXPECT_EQ(runningConnectionStart("08.12.2026 13:00:00 - Connected" + nuls)->hour, 13);
}

// The reader keeps no more than one line of its own: a line longer than any entry is one
// skipped line, and what follows it is read as usual.
TEST(ConnectionHistoryTest, AnOverlongLineIsOneSkippedLine) {
  std::istringstream in(std::string(3 * kLongestLogLine, 'x') + "\r\n" +
                        "08.12.2026 10:00:00 - Connected\r" +
                        std::string(kLongestLogLine + 1, 'y') + "\n");
  std::vector<LoggedConnection> read;
  ConnectionLogReader reader([&](const LoggedConnection& c) { read.push_back(c); });
  ASSERT_TRUE(readLogStream(in, reader));
  EXPECT_EQ(reader.skippedLines(), 2u);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].start.hour, 10);
}

TEST(HistoryFormatsTest, CsvQuotingJsonLinesAndDates) {
  EXPECT_EQ(csvField("1.75"), "1.75");
  EXPECT_EQ(csvField("1,75"), "\"1,75\"");
  EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(csvField("two\r\nlines"), "\"two\r\nlines\"");
  EXPECT_EQ(csvHeader(), "start,end,seconds,cost,unit,restored,cancelled");

  LoggedConnection c;
  c.start = {{2026, 3, 1}, 22, 0, 0};
  const UtcOffsetOf zone = [](const LogTime& t) {
    return std::optional<int>(t.date.day == 1 ? 3 * 3600 : -(2 * 3600 + 30 * 60));
  };
  EXPECT_EQ(jsonLine(c, zone),
            "{\"start\":\"2026-03-01T22:00:00+03:00\",\"end\":null,\"seconds\":null,\"cost\":null,"
            "\"unit\":null,\"restored\":false,\"cancelled\":false}");
  c.end = LogTime{{2026, 3, 3}, 1, 30, 0};
  c.seconds = 99005;
  c.cost = "1,75";
  c.unit = 'k';
  c.restored = true;
  EXPECT_EQ(
      jsonLine(c, zone),
      "{\"start\":\"2026-03-01T22:00:00+03:00\",\"end\":\"2026-03-03T01:30:00-02:30\","
      "\"seconds\":99005,\"cost\":1.75,\"unit\":\"k\",\"restored\":true,\"cancelled\":false}");
  // A cost whose exponent the log's 8 characters cut away keeps its digits, as a number.
  EXPECT_EQ(costNumber("1,234E-"), "1.234");
  EXPECT_EQ(costNumber("5.55E-5"), "5.55E-5");

  EXPECT_EQ(parseIsoDate("2028-02-29"), (CalendarDate{2028, 2, 29}));
  for (const char* wrong : {"2026-02-29", "2026-13-01", "2026-3-01", "01.03.2026", "2026-03-01x"}) {
    EXPECT_FALSE(parseIsoDate(wrong)) << wrong;
  }
}

}  // namespace
}  // namespace pelmora
