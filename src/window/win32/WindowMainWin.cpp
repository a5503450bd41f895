// The program with its window on Windows: the installation, the window, its message loop.
#include <windows.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "app/Installation.h"
#include "archive/Errors.h"
#include "window/WindowMain.h"
#include "window/win32/Win32FormWindow.h"

namespace kv::window {

namespace {

// The window's picture as a PNG file (8-bit RGB): what KVTESO_SCREENSHOT asks for.
bool SavePicture(HWND window, const std::string& file) {
    RECT r{};
    GetClientRect(window, &r);  // as the Linux window's picture: the client area
    const int width = r.right - r.left, height = r.bottom - r.top;
    const HDC source = GetDC(window), memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ before = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    std::vector<unsigned char> raw;
    for (int y = 0; copied && y < height; ++y) {
        raw.push_back(0);  // no filter
        const auto* row = static_cast<const unsigned char*>(bits) + static_cast<size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x) raw.insert(raw.end(), {row[x * 4 + 2], row[x * 4 + 1], row[x * 4]});
    }
    SelectObject(memory, before), DeleteObject(bitmap), DeleteDC(memory), ReleaseDC(window, source);
    if (!copied) return false;
    std::vector<unsigned char> packed(compressBound(static_cast<uLong>(raw.size())));
    uLongf packedSize = static_cast<uLongf>(packed.size());
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) return false;
    packed.resize(packedSize);
    std::ofstream out(file, std::ios::binary);
    auto be32 = [&](uint32_t v) { out.put(char(v >> 24)).put(char(v >> 16)).put(char(v >> 8)).put(char(v)); };
    auto chunk = [&](const char* type, const std::vector<unsigned char>& data) {
        be32(static_cast<uint32_t>(data.size()));
        uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
        if (!data.empty()) crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));  // a null buffer restarts it
        out.write(type, 4).write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        be32(static_cast<uint32_t>(crc));
    };
    out.write("\x89PNG\r\n\x1a\n", 8);
    const auto w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height);
    chunk("IHDR",
          {static_cast<unsigned char>(w >> 24), static_cast<unsigned char>(w >> 16), static_cast<unsigned char>(w >> 8),
           static_cast<unsigned char>(w), static_cast<unsigned char>(h >> 24), static_cast<unsigned char>(h >> 16),
           static_cast<unsigned char>(h >> 8), static_cast<unsigned char>(h), 8, 2, 0, 0, 0});
    chunk("IDAT", packed);
    chunk("IEND", {});
    return static_cast<bool>(out.flush());
}

}  // namespace

bool DisplayAvailable() {
    // A desktop that takes windows: try a hidden one.
    const HWND probe =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!probe) return false;
    DestroyWindow(probe);
    return true;
}

int RunWindow(int&, char**) {
    const char* screenshot = std::getenv("KVTESO_SCREENSHOT");
    // Started from the desktop, the program has a console of its own that nobody reads: let it go.
    DWORD processes[2];
    if (GetConsoleProcessList(processes, 2) == 1) FreeConsole();
    try {
        app::Installation installation;
        Win32FormWindow window(installation);
        window.form().Form_Load();
        window.Show();
        bool saved = false;
        if (screenshot && *screenshot) {
            // Once the window has drawn itself: its picture, then the close box.
            for (int i = 0; i < 30; ++i) {
                MSG message;
                while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
                Sleep(10);
            }
            saved = SavePicture(window.handle(), screenshot);
            PostMessageA(window.handle(), WM_CLOSE, 0, 0);
        }
        const int status = window.Run();
        if (screenshot && *screenshot && !saved) return 1;
        return status;
    } catch (const ProgramEnd& end) {
        return end.exitCode;
    } catch (const std::exception& e) {
        std::cerr << "kvteso: " << e.what() << "\n";
        return 2;
    }
}

}  // namespace kv::window
