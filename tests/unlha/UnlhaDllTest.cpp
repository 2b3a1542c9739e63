// Tests of UNLHA32.DLL through its export, under Wine: command lines, result codes, the log,
// what lands on disk, and the progress window (Cancel, the caller's windows kept alive).
#include "ArchiveBuilder.h"
#include "Files.h"
#include "ProgressWindow.h"
#include "Timestamp.h"
#include "Unlha32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <windows.h>

namespace lha::test {
namespace {

using UnlhaFunction = int(WINAPI*)(HWND, const char*, char*, DWORD);

const std::string kSjisFolder = "\x83\x5C\x83\x74\x83\x67"; // "ソフト", trail byte 0x5C
const std::string kSjisFile = "\x95\x5C.txt";               // "表.txt", trail byte 0x5C

class UnlhaDll : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryA("UNLHA32.DLL");
        ASSERT_NE(module_, nullptr);
        unlha_ = reinterpret_cast<UnlhaFunction>(
            reinterpret_cast<void*>(GetProcAddress(module_, "Unlha")));
        ASSERT_NE(unlha_, nullptr);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        temp_ = temp;
        root_ = temp_ + "unlha-dll-" + std::to_string(GetCurrentProcessId()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        testbed::RemoveTree(root_);
        ASSERT_TRUE(CreateDirectoryA(root_.c_str(), nullptr));
        // Relative paths in a command are the caller's current folder's.
        SetCurrentDirectoryA(root_.c_str());
    }
    void TearDown() override {
        SetCurrentDirectoryA(temp_.c_str());
        testbed::RemoveTree(root_);
        FreeLibrary(module_);
    }

    std::string at(const std::string& name) const { return root_ + "\\" + name; }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(at(name), std::ios::binary) << bytes;
    }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream contents;
        contents << in.rdbuf();
        return contents.str();
    }
    static bool exists(const std::string& path) {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    int call(const std::string& commandLine, std::string* log = nullptr, HWND owner = nullptr) {
        char output[8192] = "untouched";
        const int code = unlha_(owner, commandLine.c_str(), output, sizeof output);
        if (log != nullptr) *log = output;
        return code;
    }

    HMODULE module_ = nullptr;
    UnlhaFunction unlha_ = nullptr;
    std::string temp_;
    std::string root_;
};

TEST_F(UnlhaDll, ExportsOnlyThePlainName) {
    EXPECT_EQ(GetProcAddress(module_, "Unlha@16"), nullptr);
    EXPECT_EQ(GetProcAddress(module_, "_Unlha@16"), nullptr);
}

TEST_F(UnlhaDll, TheInstallersCallExtractsIntoNewFolders) {
    TestEntry readOnly = storedEntry("readonly.txt", "was read-only", 2);
    readOnly.extended.emplace_back(0x40, std::string("\x21\x00", 2)); // read-only, archive
    readOnly.time = 1600000000;
    TestEntry nested = packedEntry("-lz5-", "deep.txt", "deep deep deep deep", 2);
    nested.directory = "data\xFFsub\xFF";
    TestEntry folder = storedEntry("empty\\", "", 0);
    folder.method = "-lhd-";
    write("game.lzh", archive({readOnly, nested, folder}));
    const std::string target = at("Program Files\\My Game");

    std::string log;
    ASSERT_EQ(call("x -+ \"" + at("game.lzh") + "\" \"" + target + "\\\"", &log), UNLHA_OK) << log;
    EXPECT_EQ(read(target + "\\readonly.txt"), "was read-only");
    EXPECT_EQ(read(target + "\\data\\sub\\deep.txt"), "deep deep deep deep");
    EXPECT_TRUE(GetFileAttributesA((target + "\\empty").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(GetFileAttributesA((target + "\\readonly.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_NE(log.find("extracted"), std::string::npos) << log;
    EXPECT_NE(log.find("\r\n"), std::string::npos) << log;

    const HANDLE file = CreateFileA((target + "\\readonly.txt").c_str(), GENERIC_READ,
                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME written{};
    GetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    const std::uint64_t ticks =
        (std::uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime;
    EXPECT_EQ(ticks, kWindowsTicksAt1970 + 1600000000ull * 10000000ull);
}

TEST_F(UnlhaDll, ReplacesExistingFilesEvenReadOnlyOnes) {
    write("new.lzh", archive({storedEntry("old.txt", "new contents", 0)}));
    CreateDirectoryA(at("dest").c_str(), nullptr);
    write("dest\\old.txt", "old contents");
    SetFileAttributesA(at("dest\\old.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(call("x -q " + at("new.lzh") + " " + at("dest")), UNLHA_OK);
    EXPECT_EQ(read(at("dest\\old.txt")), "new contents");
    EXPECT_FALSE(GetFileAttributesA(at("dest\\old.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(UnlhaDll, CodePage932NamesKeepTheirTrailBytes) {
    write("sjis.lzh", archive({storedEntry(kSjisFolder + "\\" + kSjisFile, "hyou", 0)}));
    // A destination that itself ends in a trail byte 0x5C.
    const std::string target = at(kSjisFolder);
    const int code = call("x -q \"" + at("sjis.lzh") + "\" \"" + target + "\"");
    if (GetACP() != 932) {
        // Another code page reads 0x5C as a separator: the name is refused, not split.
        EXPECT_EQ(code, UNLHA_REFUSED_PATH);
        return;
    }
    ASSERT_EQ(code, UNLHA_OK);
    EXPECT_EQ(read(target + "\\" + kSjisFolder + "\\" + kSjisFile), "hyou");
}

TEST_F(UnlhaDll, EachFailureHasItsCode) {
    const std::string good = archive({storedEntry("good.txt", "good")});
    write("good.lzh", good);
    write("text.txt", "this is just a text file, no archive in it");
    TestEntry badCrc = storedEntry("bad.txt", "data");
    badCrc.crc ^= 1;
    write("crc.lzh", archive({badCrc}));
    write("cut.lzh", good.substr(0, good.size() - 3));
    TestEntry unknown = storedEntry("x.bin", "data");
    unknown.method = "-pm2-";
    write("pm2.lzh", archive({unknown}));
    write("refused.lzh",
          archive({storedEntry("..\\..\\evil.txt", "evil", 0), storedEntry("CON.txt", "x", 2),
                   storedEntry("C:\\boot.txt", "x", 0), storedEntry("kept.txt", "kept", 2)}));
    write("file-not-folder", "");
    // A DOS stamp lists as it is, whatever the time zone.
    write("dos.lzh", archive({storedEntry("dos.txt", "dos", 0)}));

    const struct {
        std::string commandLine;
        int code;
        const char* logHas;
    } cases[] = {
        {"x -q " + at("good.lzh") + " " + at("out"), UNLHA_OK, "good.txt"},
        {"t -q " + at("good.lzh"), UNLHA_OK, "ok"},
        {"l -q " + at("good.lzh"), UNLHA_OK, "good.txt"},
        {"l -q " + at("dos.lzh"), UNLHA_OK, " 2025-03-11 15:36:26 dos.txt"},
        {"", UNLHA_BAD_COMMAND, "no command"},
        {"z " + at("good.lzh"), UNLHA_BAD_COMMAND, "unknown command"},
        {"x -k " + at("good.lzh"), UNLHA_BAD_COMMAND, "unknown switch"},
        {"t -q " + at("missing.lzh"), UNLHA_READ_FAILED, "cannot open"},
        {"t -q NUL", UNLHA_READ_FAILED, "cannot open"},
        {"t -q " + at("text.txt"), UNLHA_NOT_ARCHIVE, "not an LHA archive"},
        {"x -q " + at("crc.lzh") + " " + at("crc"), UNLHA_BROKEN_DATA, "CRC mismatch"},
        {"t -q " + at("cut.lzh"), UNLHA_BROKEN_DATA, "error:"},
        {"x -q " + at("pm2.lzh") + " " + at("pm2"), UNLHA_UNSUPPORTED_METHOD, "-pm2-"},
        {"x -q " + at("refused.lzh") + " " + at("inner\\dest"), UNLHA_REFUSED_PATH, "refused"},
        {"x -q " + at("good.lzh") + " " + at("file-not-folder"), UNLHA_WRITE_FAILED,
         "cannot create"},
        // A drive alone is its current folder, here the test's.
        {"x -q good.lzh C:", UNLHA_OK, "good.txt"},
    };
    for (const auto& c : cases) {
        std::string log;
        EXPECT_EQ(call(c.commandLine, &log), c.code) << c.commandLine << "\n" << log;
        EXPECT_NE(log.find(c.logHas), std::string::npos) << c.commandLine << "\n" << log;
    }
    EXPECT_EQ(read(at("good.txt")), "good");
    EXPECT_TRUE(!exists("C:\\good.txt") || !DeleteFileA("C:\\good.txt")) << "written to C:\\";
    EXPECT_EQ(read(at("inner\\dest\\kept.txt")), "kept");
    EXPECT_FALSE(exists(at("evil.txt")));
    EXPECT_FALSE(exists(at("inner\\evil.txt")));
    EXPECT_FALSE(exists(at("crc\\bad.txt")));
    EXPECT_FALSE(exists(at("crc\\bad.txt.unlha-part")));
}

TEST_F(UnlhaDll, LogIsCutToTheCallersBuffer) {
    write("good.lzh", archive({storedEntry("a.txt", "a"), storedEntry("b.txt", "b")}));
    const std::string command = "t -q " + at("good.lzh");
    char small[16];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(unlha_(nullptr, command.c_str(), small, sizeof small), UNLHA_OK);
    EXPECT_EQ(std::strlen(small), sizeof small - 1);
    EXPECT_EQ(unlha_(nullptr, command.c_str(), nullptr, 0), UNLHA_OK);
    char one[1] = {'x'};
    EXPECT_EQ(unlha_(nullptr, command.c_str(), one, sizeof one), UNLHA_OK);
    EXPECT_EQ(one[0], '\0');

    // No cut leaves the lead byte of a double-byte name without its trail byte.
    write("sjis.lzh", archive({storedEntry(kSjisFile, "hyou")}));
    const std::string sjisCommand = "t -q " + at("sjis.lzh");
    for (DWORD size = 2; size < 64; ++size) {
        char cut[64];
        ASSERT_EQ(unlha_(nullptr, sjisCommand.c_str(), cut, size), UNLHA_OK);
        std::size_t i = 0;
        const std::size_t length = std::strlen(cut);
        while (i < length)
            i += IsDBCSLeadByte(static_cast<BYTE>(cut[i])) ? 2 : 1;
        EXPECT_EQ(i, length) << size << ": " << cut;
    }
}

// The caller's window: counts the messages it gets while the DLL works.
struct OwnerCounts {
    std::atomic<int> paints{0};
    std::atomic<int> timers{0};
    std::atomic<bool> disabledDuringWork{false};
    std::atomic<bool> noDiskBoxDuringWork{false};
} owner;

LRESULT CALLBACK ownerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        ++owner.paints;
        return 0;
    }
    case WM_TIMER:
        ++owner.timers;
        if (!IsWindowEnabled(window)) {
            owner.disabledDuringWork = true;
            const UINT mode = SetErrorMode(0);
            SetErrorMode(mode);
            if (mode & SEM_FAILCRITICALERRORS) owner.noDiskBoxDuringWork = true;
        }
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND makeOwner() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ownerProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "UnlhaTestOwner";
    RegisterClassA(&windowClass);
    const HWND window =
        CreateWindowExA(0, "UnlhaTestOwner", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400,
                        300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetTimer(window, 1, 5, nullptr);
    return window;
}

TEST_F(UnlhaDll, ProgressWindowKeepsTheCallersWindowsAlive) {
    std::string big(24 << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 / 5);
    write("big.lzh", archive({storedEntry("big.bin", big)}));
    const HWND window = makeOwner();
    const HWND control = CreateWindowExA(0, "BUTTON", "Control", WS_CHILD | WS_VISIBLE, 10, 10, 80,
                                         24, window, nullptr, GetModuleHandleA(nullptr), nullptr);
    // The caller may name its top-level window or a control in it: the window is disabled.
    for (const HWND caller : {window, control}) {
        owner.paints = owner.timers = 0;
        owner.disabledDuringWork = owner.noDiskBoxDuringWork = false;
        const UINT errorMode = SetErrorMode(0);
        ASSERT_EQ(call("x \"" + at("big.lzh") + "\" \"" + at("big") + "\\\"", nullptr, caller),
                  UNLHA_OK);
        // An empty drive fails the work instead of raising the system's box; the caller's
        // error mode is its own again afterwards.
        EXPECT_TRUE(owner.noDiskBoxDuringWork.load());
        EXPECT_EQ(SetErrorMode(errorMode), 0u);
        EXPECT_GT(owner.timers.load(), 0);
        EXPECT_GT(owner.paints.load(), 0);
        EXPECT_TRUE(owner.disabledDuringWork.load()) << (caller == control ? "control" : "");
        EXPECT_TRUE(IsWindowEnabled(window));
        EXPECT_TRUE(IsWindowEnabled(control));
    }
    EXPECT_EQ(FindWindowA(ProgressWindow::kClassName, nullptr), nullptr);
    DestroyWindow(window);
}

TEST_F(UnlhaDll, CancelStopsAfterTheCurrentFile) {
    std::vector<TestEntry> entries;
    const std::string data(32 * 1024, 'c');
    for (int i = 0; i < 300; ++i)
        entries.push_back(storedEntry("file" + std::to_string(i) + ".dat", data));
    write("many.lzh", archive(entries));
    const HWND window = makeOwner();

    std::atomic<bool> clicked{false};
    std::string archiveText;
    std::thread user([&] {
        for (int tries = 0; tries < 10000 && !clicked; ++tries) {
            const HWND progress = FindWindowA(ProgressWindow::kClassName, nullptr);
            const HWND cancel = progress ? GetDlgItem(progress, IDCANCEL) : nullptr;
            if (cancel == nullptr) {
                Sleep(1);
                continue;
            }
            char text[MAX_PATH * 2] = "";
            GetWindowTextA(GetWindow(progress, GW_CHILD), text, sizeof text);
            archiveText = text;
            SendMessageA(cancel, BM_CLICK, 0, 0);
            clicked = true;
        }
    });
    std::string log;
    const int code = call("x \"" + at("many.lzh") + "\" \"" + at("many") + "\"", &log, window);
    user.join();
    ASSERT_TRUE(clicked);
    EXPECT_EQ(code, UNLHA_CANCELLED) << log;
    EXPECT_NE(log.find("cancelled"), std::string::npos) << log;
    EXPECT_NE(archiveText.find("many.lzh"), std::string::npos) << archiveText;
    const int extracted = static_cast<int>(testbed::ListTree(at("many")).size());
    EXPECT_LT(extracted, 300);
    for (int i = 0; i < extracted; ++i)
        EXPECT_EQ(read(at("many\\file" + std::to_string(i) + ".dat")).size(), data.size()) << i;
    EXPECT_TRUE(IsWindowEnabled(window));
    DestroyWindow(window);
}

TEST_F(UnlhaDll, TheCommandTakesQuotedFoldersAsTheDllDoes) {
    write("cli.lzh", archive({storedEntry("cli.txt", "from the command")}));
    std::string line = "unlha.exe x -q \"" + at("cli.lzh") + "\" \"" + at("cli out") + "\\\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    WaitForSingleObject(process.hProcess, 60000);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(exitCode, 0u) << line;
    EXPECT_EQ(read(at("cli out\\cli.txt")), "from the command");
}

} // namespace
} // namespace lha::test
