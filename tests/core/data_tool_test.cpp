// quillnote-data, run as a user runs it: output, exit codes and messages.

#include "core/data_file.h"
#include "json_dump.h"
#include "test_support.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>

namespace quill {
namespace {

namespace fs = std::filesystem;
using test::FileBuilder;
using test::MakeTask;
using test::TempDir;

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ToolRun RunTool(const TempDir& dir, const std::string& arguments) {
    const std::string out = dir.File("stdout.txt");
    const std::string err = dir.File("stderr.txt");
    const std::string command = std::string("'") + QUILLNOTE_DATA_TOOL + "' " + arguments + " >'" +
                                out + "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = test::ReadFile(out);
    run.err = test::ReadFile(err);
    fs::remove(out);
    fs::remove(err);
    return run;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// One category and one task whose fields are all different from the defaults.
std::string SampleFile() {
    TTASK_ITEM task;
    task.Priority = 2;
    task.Title = "Caf\xC3\xA9 \"x\"\\";
    task.Description = "line 1\nline 2\x01";
    task.DueDate = 45351.75;
    task.ReminderDate = std::nan("");
    task.ReminderTime = -INFINITY;
    task.SoundFile = "bad \xFF byte";
    task.NotOverdue = 1;
    task.PlaySound = 0;
    task.ReminderOn = 1;
    task.HasDueDate = 1;
    task.Done = 7;
    task.CategoryIndex = 4;
    return FileBuilder().HeaderStart().Category("Home", 3).End().Task(task).Bytes();
}

TEST(DataToolDump, PrintsTheFileAsJson) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    test::WriteFile(path, SampleFile());
    const ToolRun run = RunTool(dir, "dump " + Quoted(path));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "{\"categories\":[\n"
                       "{\"Name\":\"Home\",\"ColorIndex\":3}\n"
                       "],\n"
                       "\"tasks\":[\n"
                       "{\"Priority\":2,\"Title\":\"Caf\xC3\xA9 \\\"x\\\"\\\\\","
                       "\"Description\":\"line 1\\nline 2\\u0001\",\"DueDate\":45351.75,"
                       "\"ReminderDate\":\"nan\",\"ReminderTime\":\"-inf\","
                       "\"SoundFile\":\"bad \xEF\xBF\xBD byte\",\"NotOverdue\":1,\"PlaySound\":0,"
                       "\"ReminderOn\":1,\"HasDueDate\":1,\"Done\":7,\"CategoryIndex\":4}\n"
                       "],\n"
                       "\"damaged\":false}\n");
}

TEST(DataToolDump, RawPrintsEveryByte) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    test::WriteFile(path, SampleFile());
    const ToolRun run = RunTool(dir, "dump " + Quoted(path) + " --raw");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out,
              "{\"categories\":[\n"
              "{\"Name\":\"486f6d65\",\"ColorIndex\":3}\n"
              "],\n"
              "\"tasks\":[\n"
              "{\"Priority\":2,\"Title\":\"436166c3a9202278225c\","
              "\"Description\":\"6c696e6520310a6c696e65203201\","
              "\"DueDate\":\"00000000f824e640\",\"ReminderDate\":\"000000000000f87f\","
              "\"ReminderTime\":\"000000000000f0ff\",\"SoundFile\":\"62616420ff2062797465\","
              "\"NotOverdue\":1,\"PlaySound\":0,\"ReminderOn\":1,\"HasDueDate\":1,\"Done\":7,"
              "\"CategoryIndex\":4}\n"
              "],\n"
              "\"damaged\":false}\n");
}

TEST(DataToolDump, AnEmptyStoreHasEmptyLists) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    test::WriteFile(path, FileBuilder().HeaderStart().End().Bytes());
    const ToolRun run = RunTool(dir, "dump " + Quoted(path));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "{\"categories\":[],\n\"tasks\":[],\n\"damaged\":false}\n");
}

TEST(DataToolDump, ADamagedFileIsPrintedAndExitsWithOne) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    const std::string bytes = FileBuilder()
                                  .HeaderStart()
                                  .Category("Home", 3)
                                  .End()
                                  .Task(MakeTask("kept"))
                                  .Task(MakeTask("lost"))
                                  .Bytes();
    test::WriteFile(path, bytes.substr(0, bytes.size() - 20));
    const ToolRun run = RunTool(dir, "dump " + Quoted(path));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("\"Title\":\"kept\""), std::string::npos);
    EXPECT_EQ(run.out.find("lost"), std::string::npos);
    EXPECT_NE(run.out.find("\"damaged\":\"The file ends in the middle of task 2, which was left "
                           "out.\"}"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(Lines(run.err), 1);
    EXPECT_NE(run.err.find("is damaged"), std::string::npos);
    // dump only reads: no copy appears beside the file.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(DataToolArguments, OptionsStandBeforeOrAfterTheFileNameAndHelpAnswers) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    test::WriteFile(path, SampleFile());
    const ToolRun after = RunTool(dir, "dump " + Quoted(path) + " --raw");
    ASSERT_EQ(after.exitCode, 0);
    for (const std::string& arguments : {"dump --raw " + Quoted(path), "--raw dump " + Quoted(path),
                                         "dump --raw -- " + Quoted(path)}) {
        SCOPED_TRACE(arguments);
        const ToolRun run = RunTool(dir, arguments);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, after.out);
    }
    for (const std::string& arguments : {std::string("--help"), "dump " + Quoted(path) + " -h"}) {
        SCOPED_TRACE(arguments);
        const ToolRun help = RunTool(dir, arguments);
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_EQ(help.out.rfind("Usage: quillnote-data dump FILE", 0), 0u);
        EXPECT_EQ(help.err, "");
    }
    EXPECT_EQ(RunTool(dir, "repair --raw " + Quoted(path) + " " + Quoted(dir.File("o"))).exitCode,
              2);
}

TEST(DataToolArguments, BadArgumentsAndUnreadableFilesExitWithTwo) {
    TempDir dir;
    fs::create_directory(dir.File("folder"));
    for (const std::string& arguments :
         {std::string(""), std::string("dump"), std::string("list x"), std::string("dump a b"),
          std::string("dump a --hex"), std::string("repair a"),
          "dump " + Quoted(dir.File("missing.dat")), "dump " + Quoted(dir.File("folder")),
          "repair " + Quoted(dir.File("missing.dat")) + " " + Quoted(dir.File("out.dat"))}) {
        SCOPED_TRACE(arguments);
        const ToolRun run = RunTool(dir, arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(Lines(run.err), 1);
        EXPECT_EQ(run.err.rfind("quillnote-data: ", 0), 0u);
    }
    const ToolRun missing = RunTool(dir, "dump " + Quoted(dir.File("missing.dat")));
    EXPECT_EQ(missing.err, "quillnote-data: Cannot open file \"" + dir.File("missing.dat") +
                               "\". No such file or directory\n");
}

TEST(DataToolRepair, AWellFormedFileComesOutByteForByte) {
    TempDir dir;
    const std::string in = dir.File("in.dat");
    const std::string out = dir.File("out.dat");
    TTASK_ITEM dated = test::Dated(MakeTask("dated", 0, 1), 45001.5);
    dated.NotOverdue = 0;
    // Identity fields come back as they were; the task without one gets none.
    dated.Uid = "u-1";
    dated.LastModified = 1767225600;
    const std::string bytes = FileBuilder()
                                  .HeaderStart()
                                  .Category("A", 0)
                                  .Category("B", 9)
                                  .End()
                                  .Task(MakeTask("one"))
                                  .Task(dated)
                                  .Bytes();
    test::WriteFile(in, bytes);
    const ToolRun run = RunTool(dir, "repair " + Quoted(in) + " " + Quoted(out));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(test::ReadFile(out), bytes);
}

TEST(DataToolRepair, ADamagedFileIsRescuedAsStartUpWould) {
    TempDir dir;
    const std::string in = dir.File("in.dat");
    const std::string out = dir.File("out.dat");
    TTASK_ITEM odd = MakeTask("odd", 9, 17);
    odd.Done = 5;
    odd.NotOverdue = 0;
    const std::string bytes =
        FileBuilder().HeaderStart().End().Task(odd).Task(MakeTask("cut off")).Bytes();
    const std::string damaged = bytes.substr(0, bytes.size() - 30);
    test::WriteFile(in, damaged);
    const ToolRun run = RunTool(dir, "repair " + Quoted(in) + " " + Quoted(out));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Lines(run.err), 1);
    EXPECT_EQ(test::ReadFile(in), damaged); // the input is left as it was

    TaskStore store;
    const LoadResult loaded = LoadTasks(store, out);
    EXPECT_EQ(loaded.outcome, LoadOutcome::Good);
    ASSERT_EQ(store.Categories.size(), 3u); // the default categories
    EXPECT_EQ(store.Categories[0].Name, "Personal");
    ASSERT_EQ(store.TaskCount(), 1);
    EXPECT_EQ(store.Tasks[0].Title, "odd");
    EXPECT_EQ(store.Tasks[0].Priority, 1);
    EXPECT_EQ(store.Tasks[0].CategoryIndex, 0);
    EXPECT_EQ(store.Tasks[0].Done, 1);
    EXPECT_EQ(store.Tasks[0].NotOverdue, 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
}

TEST(DataToolRepair, RepairingInPlaceKeepsTheDamagedBytesFirst) {
    TempDir dir;
    const std::string path = dir.File("quillnote.dat");
    const std::string bytes =
        FileBuilder().HeaderStart().Category("c", 0).End().Task(MakeTask("t")).Bytes();
    test::WriteFile(path, bytes.substr(0, bytes.size() - 1));
    const ToolRun run = RunTool(dir, "repair " + Quoted(path) + " " + Quoted(path));
    EXPECT_EQ(run.exitCode, 1);
    bool copyFound = false;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        if (entry.path().filename().string().rfind("quillnote.dat.damaged-", 0) == 0) {
            copyFound = true;
            EXPECT_EQ(test::ReadFile(entry.path().string()), bytes.substr(0, bytes.size() - 1));
        }
    }
    EXPECT_TRUE(copyFound);
    EXPECT_EQ(test::ReadFile(path), bytes); // the task lacked only its end mark
}

TEST(DataToolRepair, AnOutputThatCannotBeWrittenExitsWithTwo) {
    TempDir dir;
    const std::string in = dir.File("in.dat");
    test::WriteFile(in, FileBuilder().HeaderStart().End().Bytes());
    const std::string out = dir.File("no-dir/out.dat");
    const ToolRun run = RunTool(dir, "repair " + Quoted(in) + " " + Quoted(out));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err,
              "quillnote-data: Cannot create file \"" + out + "\". No such file or directory\n");
}

// The UID lines of a calendar file, each with its CR, in order.
std::string Uids(const std::string& ics) {
    std::string uids;
    for (size_t at = ics.find("\nUID:"); at != std::string::npos; at = ics.find("\nUID:", at + 1)) {
        uids += ics.substr(at + 1, ics.find('\r', at) - at);
    }
    return uids;
}

TEST(DataToolCalendar, ExportKeepsIdentitiesAndImportIsAllOrNothing) {
    TempDir dir;
    const std::string data = dir.File("q.dat");
    test::WriteFile(data, FileBuilder()
                              .HeaderStart()
                              .Category("A", 0)
                              .Category("B", 1)
                              .End()
                              .Task(MakeTask("one", 1, 0))
                              .Task(MakeTask("two", 1, 1))
                              .Bytes());
    const std::string first = dir.File("first.ics");
    const std::string second = dir.File("second.ics");
    ASSERT_EQ(RunTool(dir, "export " + Quoted(data) + " " + Quoted(first)).exitCode, 0);
    ASSERT_EQ(RunTool(dir, "export " + Quoted(data) + " " + Quoted(second)).exitCode, 0);
    EXPECT_EQ(Uids(test::ReadFile(first)).size(), 2 * (4 + 36 + 1));
    EXPECT_EQ(Uids(test::ReadFile(first)), Uids(test::ReadFile(second)));
    const ToolRun only = RunTool(dir, "export " + Quoted(data) + " --category B " + Quoted(second));
    EXPECT_EQ(only.out, "wrote \"" + second + "\": 1 task\n");

    const std::string fresh = dir.File("new.dat");
    const ToolRun imported = RunTool(dir, "import " + Quoted(fresh) + " " + Quoted(first));
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(imported.out, "2 tasks imported: 2 new, 0 updated\n");
    const std::string before = test::ReadFile(fresh);
    test::WriteFile(second, "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nDUE:20260231\r\nEND:VTODO\r\n"
                            "END:VCALENDAR\r\n");
    const ToolRun broken = RunTool(dir, "import " + Quoted(fresh) + " " + Quoted(second));
    EXPECT_EQ(broken.exitCode, 2);
    EXPECT_NE(broken.err.find("task 1 (line 2) cannot be read: its due date"), std::string::npos)
        << broken.err;
    EXPECT_EQ(test::ReadFile(fresh), before);
}

TEST(JsonText, NumbersAreTheShortestRoundTrip) {
    EXPECT_EQ(JsonNumber(0.0), "0");
    EXPECT_EQ(JsonNumber(-0.0), "-0");
    EXPECT_EQ(JsonNumber(0.1), "0.1");
    EXPECT_EQ(JsonNumber(45351.75), "45351.75");
    EXPECT_EQ(JsonNumber(-1.25), "-1.25");
    EXPECT_EQ(JsonNumber(1e300), "1e+300");
    EXPECT_EQ(JsonNumber(std::nan("")), "\"nan\"");
    EXPECT_EQ(JsonNumber(INFINITY), "\"inf\"");
    EXPECT_EQ(JsonNumber(-INFINITY), "\"-inf\"");
    std::mt19937_64 random(99);
    for (int i = 0; i < 1000; ++i) {
        const double value = std::uniform_real_distribution<double>(-1e6, 1e7)(random);
        EXPECT_EQ(std::strtod(JsonNumber(value).c_str(), nullptr), value);
    }
}

TEST(JsonText, InvalidUtf8BecomesReplacementCharacters) {
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(JsonString("plain"), "\"plain\"");
    EXPECT_EQ(JsonString("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
              "\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\"");
    EXPECT_EQ(JsonString("a\xC3"), "\"a" + fffd + "\"");
    EXPECT_EQ(JsonString("\xE2\x82x"), "\"" + fffd + "x\"");
    EXPECT_EQ(JsonString("\xF0\x28\x8C\x28"), "\"" + fffd + "(" + fffd + "(\"");
    EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"" + fffd + fffd + fffd + "\"");
    EXPECT_EQ(JsonString("\xC0\xAF"), "\"" + fffd + fffd + "\"");
    EXPECT_EQ(JsonString(std::string("\x00\x1F\"\\\t", 5)), "\"\\u0000\\u001f\\\"\\\\\\t\"");
}

} // namespace
} // namespace quill
