// Reading Wine's relay and process traces, from lines as Wine 8 writes them.
#include <gtest/gtest.h>

#include "wine_prefix.h"

namespace {

TEST(WineTrace, RelayCallsWithTheirArguments) {
  const char* trace =
      "0024:Call PE DLL (proc=7BC69420,module=7BC00000 L\"ntdll.dll\",reason=PROCESS_ATTACH)\n"
      "0024:trace:relay:load_list L\"RelayInclude\" = L\"MessageBoxA\"\n"
      "0024:Call KERNEL32.GetVersionExA(0060fbec) ret=00401075\n"
      "0024:Ret  KERNEL32.GetVersionExA() retval=00000001 ret=00401075\n"
      "0024:Call window proc 688A2120 (hwnd=00030058,msg=WM_NCCREATE,wp=00000000,lp=0068f034)\n"
      "0024:Call user32.MessageBoxA(00000000,004020c0 \"a, \\\"b\\\"\\nc\\\\\\x01\",00402140 "
      "\"Kvar Setup\",00000030) ret=0040118e\n"
      "0138:Call kernelbase.CloseHandle(0000008c) ret=00ca069c";
  const auto calls = wine::relayCalls(trace);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].thread, "0024");
  EXPECT_EQ(calls[0].function, "KERNEL32.GetVersionExA");
  ASSERT_EQ(calls[0].arguments.size(), 1u);
  EXPECT_EQ(calls[0].arguments[0].value, 0x0060fbecu);
  EXPECT_FALSE(calls[0].arguments[0].text);
  EXPECT_EQ(calls[0].returnAddress, 0x00401075u);

  EXPECT_EQ(calls[1].function, "user32.MessageBoxA");
  ASSERT_EQ(calls[1].arguments.size(), 4u);
  EXPECT_EQ(calls[1].arguments[1].value, 0x004020c0u);
  EXPECT_EQ(calls[1].arguments[1].text, "a, \"b\"\nc\\\x01");
  EXPECT_EQ(calls[1].arguments[2].text, "Kvar Setup");
  EXPECT_EQ(calls[1].arguments[3].value, 0x30u);

  EXPECT_EQ(calls[2].thread, "0138");
  EXPECT_EQ(calls[2].function, "kernelbase.CloseHandle");
}

TEST(WineTrace, StartedProcesses) {
  const char* trace =
      "0024:trace:process:NtCreateUserProcess "
      "L\"\\\\??\\\\C:\\\\windows\\\\system32\\\\msiexec.exe\""
      " image L\"C:\\\\windows\\\\system32\\\\msiexec.exe\" cmdline L\"msiexec.exe /I "
      "Kvar2000.msi\""
      " parent (nil)\n"
      "0024:trace:process:NtCreateUserProcess "
      "L\"\\\\??\\\\C:\\\\windows\\\\system32\\\\msiexec.exe\""
      " pid 0134 tid 0138 handles 0x60/0x64\n";
  const auto processes = wine::startedProcesses(trace);
  ASSERT_EQ(processes.size(), 1u);
  EXPECT_EQ(processes[0].thread, "0024");
  EXPECT_EQ(processes[0].image, "C:\\windows\\system32\\msiexec.exe");
  EXPECT_EQ(processes[0].commandLine, "msiexec.exe /I Kvar2000.msi");
}

}  // namespace
