#include "monitor/win/RasConnectionProbe.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <ras.h>

#include <string>

#include "platform/PathText.h"
#include "support/win/HelperProgram.h"

namespace pelmora {
namespace {

// The probe loads the service's library afresh at every call; here, on a machine without a
// dial-up connection (or without the service at all), it always says not connected.
TEST(RasConnectionProbe, TheSystemsServiceWithoutConnectionsSaysNotConnected) {
  RasConnectionProbe probe;
  for (int i = 0; i < 20; ++i) EXPECT_EQ(probe.probe(), 0);
  EXPECT_EQ(RasConnectionProbe("no-such-rasapi.dll").probe(), 0);
  EXPECT_EQ(RasConnectionProbe("kernel32.dll").probe(), 0);  // loads, has no such functions
}

class FakeServiceTest : public ::testing::Test {
 protected:
  ~FakeServiceTest() override { SetEnvironmentVariableA("PELMORA_FAKE_RAS", nullptr); }

  int probeWith(const char* connections) {
    SetEnvironmentVariableA("PELMORA_FAKE_RAS", connections);
    const int result = probe.probe();
    // Freed again before the probe returned.
    EXPECT_EQ(GetModuleHandleW(library.c_str()), nullptr) << connections;
    return result;
  }

  std::wstring library = testing::besideThisProgram("fake_rasapi.dll").wstring();
  RasConnectionProbe probe{utf8Path(testing::besideThisProgram("fake_rasapi.dll"))};
};

TEST_F(FakeServiceTest, ConnectedWhenAnyLinkIsInTheConnectedState) {
  constexpr const char* kConnected = "8192";  // RASCS_Connected
  static_assert(RASCS_Connected == 8192);
  EXPECT_EQ(probeWith(""), 0);
  EXPECT_EQ(probeWith(kConnected), 1);
  EXPECT_EQ(probeWith("0"), 0);      // opening the port
  EXPECT_EQ(probeWith("8193"), 0);   // disconnected
  EXPECT_EQ(probeWith("8192!"), 0);  // the status query failed
  EXPECT_EQ(probeWith("fail"), 0);
  // Two or more links up at once are still connected, however many there are.
  EXPECT_EQ(probeWith("8192,8192"), 1);
  EXPECT_EQ(probeWith("5,8192!,8192"), 1);
  EXPECT_EQ(probeWith("0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,8192"), 1);
  EXPECT_EQ(probeWith("0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0"), 0);
}

}  // namespace
}  // namespace pelmora
