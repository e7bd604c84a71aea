#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <string>

#include "scratch_folder.h"
#include "support/recording_interaction.h"
#include "ui/frm_exibe_versoes.h"
#include "ui/frm_progress_bar.h"
#include "ui/frm_splash.h"

namespace torvik {
namespace {

using kit::testing::ScratchFolder;

QImage BuiltInPicture()
{
    ScratchFolder empty;
    TfrmSplash splash(empty.Folder());
    splash.setAttribute(Qt::WA_DeleteOnClose, false);
    return splash.Image1->Picture();
}

std::string Jpeg(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(10, 120, 60));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes.toStdString();
}

TEST(SplashWindow, IsABorderlessPictureOfTheDesignedSize)
{
    ScratchFolder folder;
    TfrmSplash splash(folder.Folder());
    splash.setAttribute(Qt::WA_DeleteOnClose, false);
    EXPECT_EQ(splash.size(), QSize(496, 264));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    splash.show();
    EXPECT_EQ(splash.Panel1->geometry(), QRect(0, 0, 496, 264));
    EXPECT_EQ(splash.Image1->geometry(), QRect(2, 2, 492, 260));  // inside the panel's 2-pixel bevel
    EXPECT_FALSE(splash.Image1->Picture().isNull());
}

TEST(SplashWindow, TakesTheSizeOfASplashJpgBesideTheProgram)
{
    ScratchFolder folder;
    folder.Write("splash.jpg", Jpeg(640, 480));
    TfrmSplash splash(folder.Folder());
    splash.setAttribute(Qt::WA_DeleteOnClose, false);
    EXPECT_EQ(splash.size(), QSize(640, 480));
    EXPECT_EQ(splash.Image1->Picture().size(), QSize(640, 480));
}

TEST(SplashWindow, ADamagedSplashJpgKeepsTheBuiltInPicture)
{
    const QImage builtIn = BuiltInPicture();
    const std::string jpeg = Jpeg(640, 480);
    for (const std::string& damaged : {jpeg.substr(0, 20), std::string("not a picture at all"), std::string()}) {
        ScratchFolder folder;
        folder.Write("splash.jpg", damaged);
        TfrmSplash splash(folder.Folder());
        splash.setAttribute(Qt::WA_DeleteOnClose, false);
        EXPECT_EQ(splash.size(), QSize(496, 264));
        EXPECT_EQ(splash.Image1->Picture(), builtIn);
    }
}

TEST(SplashWindow, ClosingItIsReported)
{
    ScratchFolder folder;
    auto* splash = new TfrmSplash(folder.Folder());
    int closed = 0;
    QObject::connect(splash, &TfrmSplash::Closed, [&] { ++closed; });
    QPointer<TfrmSplash> alive(splash);
    splash->show();
    splash->close();
    EXPECT_EQ(closed, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull()) << "the splash window is freed when closed";
}

class ProgressWindow : public ::testing::Test {
protected:
    GlobalState state;
    testing::RecordingInteraction user;
    TfrmProgressBar window{state, user};
};

TEST_F(ProgressWindow, HasTheDesignedLayout)
{
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Atualização do Sistema"));
    EXPECT_EQ(window.size(), QSize(403, 156));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.Animate1->geometry(), QRect(16, 8, 272, 60));
    EXPECT_EQ(window.Label1->pos(), QPoint(12, 76));
    EXPECT_EQ(window.Label1->text(), QString::fromUtf8("Aguarde enquanto os arquivos são transferidos ..."));
    EXPECT_EQ(window.ProgressBar1->geometry(), QRect(12, 92, 273, 16));
    EXPECT_EQ(window.ProgressBar1->minimum(), 0);
    EXPECT_EQ(window.ProgressBar1->maximum(), 100);
    EXPECT_EQ(window.ProgressBar1->value(), 0);
    EXPECT_EQ(window.btnCancelar->geometry(), QRect(300, 88, 75, 25));
    EXPECT_EQ(window.btnCancelar->text(), QStringLiteral("Cancelar"));
    EXPECT_TRUE(window.btnCancelar->isDefault());
    EXPECT_TRUE(window.Animate1->Active());
}

TEST_F(ProgressWindow, CancelAnsweredNoChangesNothing)
{
    window.show();
    user.answers = {false};
    window.btnCancelar->click();
    EXPECT_FALSE(state.CancelRequested);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(
        user.boxes,
        (std::vector<testing::RecordingInteraction::Box>{{"question", "Deseja realmente cancelar a atualização?"}}));
}

TEST_F(ProgressWindow, CancelAnsweredYesRequestsCancellationAndStaysOpen)
{
    window.show();
    user.answers = {true};
    window.btnCancelar->click();
    EXPECT_TRUE(state.CancelRequested);
    EXPECT_TRUE(window.isVisible());
}

TEST(VersionsDialog, HasTheDesignedLayout)
{
    TfrmExibe_versoes dialog;
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Atualizações do Sistema"));
    EXPECT_EQ(dialog.size(), QSize(454, 373));
    EXPECT_EQ(dialog.minimumSize(), QSize(306, 193));
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowSystemMenuHint);
    dialog.rchDesc_Versoes->setPlainText("x");
    dialog.show();
    dialog.resize(454, 373);
    QCoreApplication::processEvents();

    EXPECT_EQ(dialog.Panel5->geometry(), QRect(0, 0, 454, 41));
    EXPECT_EQ(dialog.pnlSistema->height(), 16);
    EXPECT_EQ(dialog.pnlSistema->Caption(), QString::fromUtf8("Seu sistema está desatualizado. "));
    EXPECT_EQ(dialog.pnlSugestao->Caption(), QString::fromUtf8(" É altamente recomendado que você o atualize."));
    EXPECT_EQ(dialog.pnlSistema->font().family(), QStringLiteral("Trebuchet MS"));
    EXPECT_TRUE(dialog.pnlSistema->font().bold());
    EXPECT_EQ(dialog.pnlSistema->font().pixelSize(), 13);
    EXPECT_EQ(dialog.Panel4->geometry(), QRect(0, 373 - 36, 454, 36));
    EXPECT_EQ(dialog.Panel2->geometry(), QRect(0, 41, 454, 373 - 41 - 36));
    EXPECT_EQ(dialog.btnAtualizar->geometry(), QRect(304, 4, 135, 28));
    EXPECT_EQ(dialog.btnNaoAtualizar->geometry(), QRect(160, 4, 138, 28));
    EXPECT_EQ(dialog.btnAtualizar->text(), QStringLiteral("Atualizar Sistema"));
    EXPECT_TRUE(dialog.btnAtualizar->font().bold());
    EXPECT_EQ(dialog.btnNaoAtualizar->text(), QString::fromUtf8("Não Atualizar Agora"));
    EXPECT_TRUE(dialog.rchDesc_Versoes->isReadOnly());
    EXPECT_EQ(dialog.rchDesc_Versoes->lineWrapMode(), QTextEdit::NoWrap);
    EXPECT_EQ(dialog.rchDesc_Versoes->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(dialog.rchDesc_Versoes->font().pixelSize(), 12);
    EXPECT_TRUE(dialog.rchDesc_Versoes->currentCharFormat().font().bold());
}

TEST(VersionsDialog, ButtonsKeepTheirDistanceFromTheRightEdge)
{
    TfrmExibe_versoes dialog;
    dialog.show();
    dialog.resize(600, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.btnAtualizar->geometry(), QRect(304 + 146, 4, 135, 28));
    EXPECT_EQ(dialog.btnNaoAtualizar->geometry(), QRect(160 + 146, 4, 138, 28));
}

TEST(VersionsDialog, HeightOnShowFollowsTheNumberOfLines)
{
    struct Case {
        int lines;
        bool finalLineBreak;
        int height;
    };
    // One line would give 138: the dialog never gets smaller than its smallest size.
    for (const Case c :
         {Case{5, false, 210}, Case{5, true, 210}, Case{1, false, 193}, Case{21, false, 498}, Case{30, false, 500}}) {
        SCOPED_TRACE(std::to_string(c.lines) + " lines");
        QString text;
        for (int i = 1; i <= c.lines; ++i) {
            text += QStringLiteral("linha %1").arg(i) + (i < c.lines || c.finalLineBreak ? "\n" : "");
        }
        TfrmExibe_versoes dialog;
        dialog.rchDesc_Versoes->setPlainText(text);
        dialog.show();
        EXPECT_EQ(dialog.height(), c.height);
    }
}

TEST(VersionsDialog, ButtonsCloseWithTheirResults)
{
    TfrmExibe_versoes accept;
    accept.show();
    accept.btnAtualizar->click();
    EXPECT_EQ(accept.result(), QDialog::Accepted);
    EXPECT_FALSE(accept.isVisible());

    TfrmExibe_versoes decline;
    decline.show();
    decline.btnNaoAtualizar->click();
    EXPECT_EQ(decline.result(), QDialog::Rejected);
    EXPECT_FALSE(decline.isVisible());
}

}  // namespace
}  // namespace torvik
