// The engine's folders are layers that include one way only: platform,
// board, eval, knowledge, search, records, app, each seeing only itself and
// those before it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> layers = {"platform", "board", "eval", "knowledge", "search", "records", "app"};

int layerOf(const std::string& folder) {
    for (size_t i = 0; i < layers.size(); ++i)
        if (layers[i] == folder) return int(i);
    return -1;
}

// The quoted include of a source line, or "".
std::string includedPath(const std::string& line) {
    const std::string directive = "#include \"";
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, directive.size(), directive) != 0) return "";
    const size_t from = start + directive.size();
    const size_t end = line.find('"', from);
    return end == std::string::npos ? "" : line.substr(from, end - from);
}

// Whether a file in folder may include path.
bool allowed(const std::string& folder, const std::string& path) {
    const std::string target = path.substr(0, path.find('/'));
    if (path.find('/') == std::string::npos || layerOf(target) < 0) return false;
    return layerOf(target) <= layerOf(folder);
}

TEST(Layers, TheRuleItself) {
    struct Case {
        const char* folder;
        const char* line;
        bool ok;
    };
    const Case cases[] = {
        {"board", "#include \"board/move.h\"", true},
        {"board", "#include \"search/tt.h\"", false},
        {"eval", "#include \"knowledge/knowledge.h\"", false},
        {"knowledge", "#include \"board/notation.h\"", true},
        {"knowledge", "#include \"app/settings.h\"", false},
        {"knowledge", "#include \"search/search.h\"", false},
        {"records", "#include \"app/notation.h\"", false},
        {"records", "#include \"platform/platform.h\"", true},
        {"platform", "#include \"board/board.h\"", false},
        {"search", "#include \"records/records.h\"", false},
        {"app", "#include \"records/records.h\"", true},
        {"app", "#include \"tests/support/position.h\"", false},
        {"app", "#include \"notation.h\"", false},
        {"board", "  #include \"app/commands.h\"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(allowed(c.folder, includedPath(c.line)), c.ok) << c.folder << ": " << c.line;
    EXPECT_EQ(includedPath("#include <cstdio>"), "");
}

TEST(Layers, EveryEngineIncludeRunsDownward) {
    int files = 0, includes = 0;
    for (const std::string& folder : layers) {
        for (const auto& entry : std::filesystem::directory_iterator(std::string(ROTOR_SOURCE_DIR) + "/" + folder)) {
            const std::string name = entry.path().filename().string();
            std::ifstream in(entry.path());
            ++files;
            std::string line;
            while (std::getline(in, line)) {
                const std::string path = includedPath(line);
                if (path.empty()) continue;
                ++includes;
                EXPECT_TRUE(allowed(folder, path)) << folder << "/" << name << " includes " << path;
            }
        }
    }
    EXPECT_GT(files, 50);
    EXPECT_GT(includes, 100);
}

}  // namespace
