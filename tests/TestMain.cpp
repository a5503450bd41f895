// The tests' main: the process takes the locale of its environment (as the program does), so a run
// under an Italian locale proves that PDF numbers and records never follow it.
#include <clocale>
#include <locale>
#include <stdexcept>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    try {
        std::locale::global(std::locale(""));
    } catch (const std::runtime_error&) {
        // An environment locale the C++ library cannot build: stay with the classic one.
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
