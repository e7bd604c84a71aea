#include "ui/frm_progress_bar.h"

#include <QStyle>

#include "ui/design_fonts.h"
#include "ui/window_placement.h"

namespace torvik {

TfrmProgressBar::TfrmProgressBar(GlobalState& state, UserInteraction& user)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint),
      Animate1(new FileCopyAnimation(this)),
      Label1(new QLabel(QString::fromUtf8("Aguarde enquanto os arquivos são transferidos ..."), this)),
      ProgressBar1(new QProgressBar(this)),
      btnCancelar(new QPushButton(QStringLiteral("Cancelar"), this)),
      state_(state),
      user_(user)
{
    setWindowTitle(QString::fromUtf8("Atualização do Sistema"));
    setFont(DefaultWindowFont());
    setFixedSize(kDesignWidth, kDesignHeight);
    Animate1->setGeometry(16, 8, 272, 60);
    Label1->move(12, 76);
    Label1->adjustSize();
    ProgressBar1->setGeometry(12, 92, 273, 16);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    btnCancelar->setGeometry(300, 88, 75, 25);
    btnCancelar->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    btnCancelar->setDefault(true);
    connect(btnCancelar, &QPushButton::clicked, this, [this] { btnCancelarClick(); });
    FormCreate();
    CentreOnScreen(*this);
}

void TfrmProgressBar::FormCreate()
{
    ProgressBar1->setValue(0);
    Animate1->SetFrame(0);
    Animate1->Start();
}

void TfrmProgressBar::btnCancelarClick()
{
    // The window stays open: the transfer notices the request between files.
    if (user_.AskYesNo(kCancelQuestion)) {
        state_.CancelRequested = true;
    }
}

}  // namespace torvik
