// torvik-render-windows draws the three windows at their designed sizes.

#include <gtest/gtest.h>

#include <QImage>
#include <map>
#include <string>

#include "run_program.h"
#include "scratch_folder.h"

namespace torvik {
namespace {

TEST(RenderWindows, WritesEachWindowAsAPicture)
{
    kit::testing::ScratchFolder scratch;
    scratch.Write("app/readme.txt", "no splash.jpg here");
    const std::map<std::string, std::string> environment{{"XDG_RUNTIME_DIR", scratch.Folder()}};
    const kit::testing::ProgramRun run =
        kit::testing::RunProgram(RENDER_WINDOWS_PATH, {scratch.Folder(), scratch.Path("app")}, environment);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(QImage(QString::fromStdString(scratch.Path("splash.png"))).size(), QSize(496, 264));
    EXPECT_EQ(QImage(QString::fromStdString(scratch.Path("progress.png"))).size(), QSize(403, 156));
    // The sample text has 13 lines: 13 x 18 + 120.
    EXPECT_EQ(QImage(QString::fromStdString(scratch.Path("versions.png"))).size(), QSize(454, 354));
}

}  // namespace
}  // namespace torvik
