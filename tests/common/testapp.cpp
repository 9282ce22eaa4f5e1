#include "testapp.h"

#include <sys/stat.h>

#include <fstream>
#include <random>
#include <sstream>

namespace vt::test {

TempFolder::TempFolder(const std::string& under) {
    std::random_device rd;
    std::filesystem::path root =
        under.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(under);
    auto base = root / ("vantrope-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(base);
    path_ = base.string();
}

std::vector<std::string> oddentries(const std::string& folder) {
    std::vector<std::string> out;
    for (auto& e : std::filesystem::recursive_directory_iterator(folder)) {
        std::string name = e.path().filename().string();
        struct stat st;
        bool plain = ::lstat(e.path().c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1;
        if (!plain || (name.back() == '~' && !isspare(name))) out.push_back(name);
    }
    return out;
}

std::string fastbase() {
    std::error_code ec;
    return std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : "";
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempFolder::read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void TempFolder::write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(file(name), std::ios::binary);
    out << bytes;
}

bool TempFolder::exists(const std::string& name) const {
    return std::filesystem::exists(file(name));
}

AppTest::AppTest()
    : app(std::make_unique<App>(AppEnvironment{folder.path(), &dialogs, &printed})) {}

AppTest::~AppTest() = default;

void AppTest::TearDown() {
    for (auto& f : dialogs.failures) ADD_FAILURE() << f;
    EXPECT_EQ(dialogs.pending(), 0u) << "expected boxes never shown";
}

}  // namespace vt::test
