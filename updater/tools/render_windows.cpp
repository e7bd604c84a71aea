// torvik-render-windows: draws the updater's three windows into PNG files, without a
// display, for review and for tests.
//
//   torvik-render-windows OUTPUT_FOLDER [APPLICATION_FOLDER]
//
// APPLICATION_FOLDER is where the splash window looks for splash.jpg (default: this
// program's folder). Writes splash.png, progress.png and versions.png.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/process.h"
#include "ui/console_interaction.h"
#include "ui/frm_exibe_versoes.h"
#include "ui/frm_progress_bar.h"
#include "ui/frm_splash.h"

namespace {

// A versions text in the shape the version check writes.
const char* const kSampleVersions =
    "\n"
    "  :: Vendas.exe ::\n"
    "  Versão Corrente: 1.2.340\n"
    "  Nova Versão: 1.2.345\n"
    "\n"
    "\t10/11/2026\n"
    "\tVersão: 1.2.345\n"
    "\t  Correção no cálculo de descontos por volume.\n"
    "\t  Relatório de vendas por região.\n"
    "\n"
    "  :: Estoque.dll ::\n"
    "  Versão Corrente: 0.0.0\n"
    "  Nova Versão: 3.1.7\n";

bool Save(QWidget& window, const std::string& path)
{
    window.show();
    QApplication::processEvents();
    const bool saved = window.grab().save(QString::fromStdString(path), "PNG");
    if (!saved) {
        std::fprintf(stderr, "torvik-render-windows: cannot write %s\n", path.c_str());
    }
    return saved;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: torvik-render-windows OUTPUT_FOLDER [APPLICATION_FOLDER]\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    const std::string output = std::string(argv[1]) + "/";
    std::string folder = argc == 3 ? std::string(argv[2]) : torvik::platform::ApplicationFolder();
    if (folder.back() != '/') {
        folder += '/';
    }

    torvik::GlobalState state;
    torvik::ConsoleInteraction user("", stderr);
    torvik::TfrmSplash splash(folder);
    splash.setWindowTitle(QStringLiteral("ExecTorvik"));
    torvik::TfrmProgressBar progress(state, user);
    progress.setWindowTitle(QString::fromUtf8("Atualização do Sistema - Vendas.exe"));
    progress.ProgressBar1->setValue(40);
    progress.Animate1->Stop();
    progress.Animate1->SetFrame(13);
    torvik::TfrmExibe_versoes versions;
    versions.rchDesc_Versoes->setPlainText(QString::fromUtf8(kSampleVersions));

    const bool ok = Save(splash, output + "splash.png") && Save(progress, output + "progress.png") &&
                    Save(versions, output + "versions.png");
    splash.setAttribute(Qt::WA_DeleteOnClose, false);
    return ok ? 0 : 1;
}
