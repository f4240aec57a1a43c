// The real network library through its entry points, as the game loads it.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "netlib/network_binding.h"
#include "opponents/pattern_table.h"
#include "resources/pattern_strings.h"
#include "trainer/target_search.h"
#include "weights_files.h"

namespace {

namespace fs = std::filesystem;
using synaptra::testing::Bytes;

const qrv::Board kEmpty = qrv::EmptyBoard();

// GetNetOutputs on a board: the nine outputs, or none when it answers 0. It must write
// nothing then, so the buffer starts with a value no network gives here.
std::vector<float> OutputsOf(qrv::GetNetOutputsProc proc, const qrv::Board& board) {
    std::vector<float> outputs(qrv::kSquareCount, 12345.0f);
    const qrv::NetInput input = qrv::EncodeNetInput(board);
    if (proc(input.data(), outputs.data()) == 0) {
        EXPECT_EQ(outputs, std::vector<float>(qrv::kSquareCount, 12345.0f));
        return {};
    }
    return outputs;
}

qrv::Board BoardOf(const char* squares) {
    qrv::Board board = qrv::EmptyBoard();
    std::memcpy(board.data(), squares, qrv::kSquareCount);
    return board;
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good()) << path;
}

// A private copy of the library in a folder of its own: every test starts with a library that
// was never initialised, and a relative weights name can only be found beside that copy.
class SynaptraLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        folder_ = fs::temp_directory_path() /
                  ("synaptra_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        fs::copy_file(fs::path(QRV_GAME_DIR) / qrv::seam::kNetworkLibraryFileName,
                      folder_ / qrv::seam::kNetworkLibraryFileName);
        const std::string prefix = folder_.string() + "/";
        // No qrv.bpn in the folder: the load itself works, the initialisation does not.
        EXPECT_FALSE(qrv::LoadNetworkLibrary(binding_, prefix.c_str()));
        ASSERT_NE(binding_.GetNetMove, nullptr);
        ASSERT_NE(binding_.InitNet, nullptr);
        ASSERT_NE(binding_.KillNet, nullptr);
        ASSERT_NE(binding_.NetLastError, nullptr);
        ASSERT_NE(binding_.GetNetOutputs, nullptr);
    }

    void TearDown() override {
        qrv::ReleaseNetworkLibrary(binding_);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    std::string Write(const std::string& name, const Bytes& bytes) {
        const fs::path path = folder_ / name;
        fs::create_directories(path.parent_path());
        WriteBytes(path, bytes);
        return path.string();
    }

    int Init(const std::string& name) { return binding_.InitNet(name.c_str()); }
    int Ask(const qrv::Board& board) { return qrv::AskNetwork(binding_, board); }
    std::vector<float> Outputs(const qrv::Board& board) {
        return OutputsOf(binding_.GetNetOutputs, board);
    }

    fs::path folder_;
    qrv::NetworkBinding binding_;
};

TEST_F(SynaptraLibrary, IsNotReadyBeforeInitNetOrAfterAFailedOneAndSaysWhy) {
    EXPECT_EQ(Ask(kEmpty), -1);
    EXPECT_TRUE(Outputs(kEmpty).empty());
    EXPECT_EQ(binding_.InitNet(nullptr), 0);
    EXPECT_EQ(Init(""), 0);
    ASSERT_EQ(mkfifo((folder_ / "fifo.bpn").c_str(), 0600), 0);
    // A FIFO must be refused, not waited on.
    const std::pair<std::string, std::string> files[] = {
        {"no_such_file.bpn", std::strerror(ENOENT)},
        {(folder_ / "no_such_folder" / "qrv.bpn").string(), std::strerror(ENOENT)},
        {folder_.string(), "not a regular file"},
        {"fifo.bpn", "not a regular file"}};
    for (const auto& [name, reason] : files) {
        EXPECT_EQ(Init(name), 0);
        EXPECT_EQ(binding_.NetLastError(), reason) << name;
    }
    EXPECT_EQ(Ask(kEmpty), -1);
}

TEST_F(SynaptraLibrary, RefusesEveryBrokenFileAndDropsTheNetworkItHad) {
    const std::string good =
        Write("good.bpn", synaptra::testing::FileOf(synaptra::testing::PreferringNetwork(6)));
    int index = 0;
    for (const synaptra::testing::BrokenFile& file : synaptra::testing::BrokenFiles()) {
        SCOPED_TRACE(file.name);
        ASSERT_EQ(Init(good), 1);
        ASSERT_EQ(Ask(kEmpty), 6);
        const std::string broken = Write("broken" + std::to_string(index++) + ".bpn", file.bytes);
        EXPECT_EQ(Init(broken), 0);
        EXPECT_STREQ(binding_.NetLastError(), synaptra::DescribeLoadError(file.expected));
        EXPECT_EQ(Ask(kEmpty), -1);
        EXPECT_TRUE(Outputs(kEmpty).empty());
    }
    ASSERT_EQ(Init(good), 1);
    EXPECT_STREQ(binding_.NetLastError(), "");
}

TEST_F(SynaptraLibrary, RefusesAHugeFileWithoutReadingItAll) {
    const fs::path huge = folder_ / "huge.bpn";
    { std::ofstream(huge, std::ios::binary) << "QBPN"; }
    fs::resize_file(huge, 1ull << 32);  // sparse: 4 GiB of nothing on disk
    EXPECT_EQ(Init(huge.string()), 0);
    EXPECT_EQ(Ask(kEmpty), -1);
}

TEST_F(SynaptraLibrary, InitNetAgainReplacesTheNetworkAndKillNetDropsIt) {
    const std::string first =
        Write("first.bpn", synaptra::testing::FileOf(synaptra::testing::PreferringNetwork(8)));
    const std::string second = Write(
        "second.bpn", synaptra::testing::FileOf(synaptra::testing::PreferringNetwork(2, {16, 8})));
    EXPECT_EQ(Init(first), 1);
    EXPECT_EQ(Ask(kEmpty), 8);
    EXPECT_EQ(Init(second), 1);
    EXPECT_EQ(Ask(kEmpty), 2);
    EXPECT_EQ(Init(first), 1);
    EXPECT_EQ(Ask(kEmpty), 8);
    // The outputs are the scores the answer was chosen by, as the network computes them.
    const qrv::Board board = BoardOf(" X  O   X");
    float expected[qrv::kSquareCount];
    float input[qrv::kNetInputSize];
    const qrv::NetInput encoded = qrv::EncodeNetInput(board);
    std::copy(encoded.begin(), encoded.end(), input);
    synaptra::Forward(synaptra::testing::PreferringNetwork(8), input, expected);
    EXPECT_EQ(Outputs(board), std::vector<float>(expected, expected + qrv::kSquareCount));
    binding_.KillNet();
    EXPECT_EQ(Ask(kEmpty), -1);
    EXPECT_TRUE(Outputs(kEmpty).empty());
    binding_.KillNet();  // twice is harmless
    EXPECT_EQ(Init(second), 1);
    EXPECT_EQ(Ask(kEmpty), 2);
}

TEST_F(SynaptraLibrary, FindsARelativeNameBesideItselfNotInTheWorkingFolder) {
    Write("qrv.bpn", synaptra::testing::FileOf(synaptra::testing::PreferringNetwork(6)));
    Write("nets/other.bpn", synaptra::testing::FileOf(synaptra::testing::PreferringNetwork(1)));
    ASSERT_NE(fs::current_path(), folder_);
    EXPECT_EQ(Init("qrv.bpn"), 1);
    EXPECT_EQ(Ask(kEmpty), 6);
    EXPECT_EQ(Init("nets/other.bpn"), 1);
    EXPECT_EQ(Ask(kEmpty), 1);
    // The same name in the working folder does not count.
    const fs::path working = fs::current_path() / "only_here.bpn";
    WriteBytes(working, synaptra::testing::FileOf(synaptra::testing::PreferringNetwork(3)));
    EXPECT_EQ(Init("only_here.bpn"), 0);
    fs::remove(working);
}

TEST_F(SynaptraLibrary, AnswersMinusOneForInputThatIsNoPosition) {
    ASSERT_EQ(
        Init(Write("w.bpn", synaptra::testing::FileOf(synaptra::testing::PreferringNetwork(4)))),
        1);
    EXPECT_EQ(binding_.GetNetMove(nullptr), -1);
    qrv::NetInput input = qrv::EncodeNetInput(kEmpty);
    input[5] = 2;
    EXPECT_EQ(binding_.GetNetMove(input.data()), -1);
    input = qrv::EncodeNetInput(kEmpty);
    input[16] = 1;
    input[17] = 1;  // square 8 both O and X
    EXPECT_EQ(binding_.GetNetMove(input.data()), -1);
    EXPECT_EQ(Ask(BoardOf("XOXOXOOXO")), -1);  // a full board has no square to give
    float scores[qrv::kSquareCount];
    EXPECT_EQ(binding_.GetNetOutputs(input.data(), scores), 0);
    EXPECT_EQ(binding_.GetNetOutputs(nullptr, scores), 0);
    EXPECT_EQ(Outputs(BoardOf("XOXOXOOXO")).size(), qrv::kSquareCount);  // still a position
}

// The library as the game uses it: beside the programs, with the committed weights.
class TrainedNetwork : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(qrv::LoadNetworkLibrary(binding_, QRV_GAME_DIR "/"));
    }
    static void TearDownTestSuite() { qrv::ReleaseNetworkLibrary(binding_); }

    static qrv::NetworkBinding binding_;
};

qrv::NetworkBinding TrainedNetwork::binding_;

TEST_F(TrainedNetwork, NeverNamesATakenSquareOfAnyPosition) {
    int positions = 0;
    for (int code = 0; code < 19683; ++code) {  // 3^9 fillings of the board
        qrv::Board board = qrv::EmptyBoard();
        int rest = code;
        bool hasEmpty = false;
        for (int square = 0; square < qrv::kSquareCount; ++square, rest /= 3) {
            board[square] = " XO"[rest % 3];
            hasEmpty = hasEmpty || board[square] == ' ';
        }
        const int answer = qrv::AskNetwork(binding_, board);
        if (!hasEmpty) {
            EXPECT_EQ(answer, -1) << board.data();
            continue;
        }
        ++positions;
        ASSERT_TRUE(qrv::IsSquare(answer)) << board.data();
        ASSERT_EQ(board[answer], ' ') << board.data() << " -> " << answer;
    }
    EXPECT_EQ(positions, 19683 - 512);
}

TEST_F(TrainedNetwork, ScoresEveryStoredPositionAsTheTrainerValuesItAndAnswersTheBest) {
    qrv::PatternTable table;
    ASSERT_TRUE(qrv::LoadPatternTable(table, qrv::LoadPatternString, qrv::kFirstPatternId));
    const qrv::trainer::Targets targets = qrv::trainer::SearchTargets(table);
    ASSERT_TRUE(targets.fixedPoint);
    const qrv::GetNetOutputsProc outputs = binding_.GetNetOutputs;
    ASSERT_NE(outputs, nullptr);
    for (int slot = 0; slot < qrv::kPatternCount; ++slot) {
        SCOPED_TRACE(slot);
        const qrv::Board position = BoardOf(table.slots[slot].data());
        EXPECT_EQ(qrv::AskNetwork(binding_, position), targets.answers[slot]);
        const std::vector<float> scores = OutputsOf(outputs, position);
        ASSERT_EQ(scores.size(), qrv::kSquareCount);
        for (int square = 0; square < qrv::kSquareCount; ++square) {
            const double value = targets.valuation.values[slot][square];
            EXPECT_NEAR(scores[square], value, 0.02) << square;
            EXPECT_EQ(scores[square] < 0, value < 0) << square;
        }
    }
}

}  // namespace
