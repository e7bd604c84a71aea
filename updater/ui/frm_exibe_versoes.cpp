#include "ui/frm_exibe_versoes.h"

#include <QStyle>
#include <QTextBlock>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/design_fonts.h"
#include "ui/window_placement.h"

namespace torvik {
namespace {

const QColor kNavy(0x00, 0x00, 0x80);

Panel* CaptionPanel(QWidget* parent, const char* caption)
{
    auto* panel = new Panel(parent, Panel::Bevel::None);
    panel->SetCaption(QString::fromUtf8(caption));
    panel->setFont(DesignFont("Trebuchet MS", 13, true));
    panel->SetTextColor(kNavy);
    return panel;
}

}  // namespace

TfrmExibe_versoes::TfrmExibe_versoes()
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                           Qt::WindowCloseButtonHint),
      Panel5(new Panel(this)),
      pnlSistema(CaptionPanel(Panel5, "Seu sistema está desatualizado. ")),
      pnlSugestao(CaptionPanel(Panel5, " É altamente recomendado que você o atualize.")),
      Panel2(new Panel(this)),
      rchDesc_Versoes(new QTextEdit(Panel2)),
      Panel4(new Panel(this)),
      btnAtualizar(new QPushButton(QStringLiteral("Atualizar Sistema"), Panel4)),
      btnNaoAtualizar(new QPushButton(QString::fromUtf8("Não Atualizar Agora"), Panel4))
{
    setWindowTitle(QString::fromUtf8("Atualizações do Sistema"));
    setFont(DefaultWindowFont());
    setSizeGripEnabled(true);
    setMinimumSize(kMinimumWidth, kMinimumHeight);

    // Top band with the two captions, the text in the middle, the buttons at the bottom.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel5);
    layout->addWidget(Panel2, 1);
    layout->addWidget(Panel4);

    Panel5->setFixedHeight(41);
    Panel5->setFont(DesignFont("MS Sans Serif", 13, true));
    Panel5->SetTextColor(kNavy);
    auto* band = new QVBoxLayout(Panel5);
    band->setContentsMargins(0, 0, 0, 0);
    band->setSpacing(0);
    pnlSistema->setFixedHeight(16);
    band->addWidget(pnlSistema);
    band->addWidget(pnlSugestao, 1);

    QFont bold = font();
    bold.setBold(true);
    Panel2->setFont(bold);
    auto* middle = new QVBoxLayout(Panel2);
    middle->setContentsMargins(0, 0, 0, 0);
    middle->addWidget(rchDesc_Versoes);
    rchDesc_Versoes->setReadOnly(true);
    rchDesc_Versoes->setLineWrapMode(QTextEdit::NoWrap);
    rchDesc_Versoes->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    rchDesc_Versoes->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    rchDesc_Versoes->setFont(DesignFont("Arial", 12, true));

    Panel4->setFixedHeight(36);
    btnAtualizar->setGeometry(304, 4, 135, 28);
    btnAtualizar->setFont(bold);
    btnAtualizar->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    btnAtualizar->setDefault(true);
    btnNaoAtualizar->setGeometry(160, 4, 138, 28);
    btnNaoAtualizar->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    auto* anchors = new RightAnchors(Panel4, kDesignWidth);
    anchors->Add(btnAtualizar);
    anchors->Add(btnNaoAtualizar);
    connect(btnAtualizar, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnNaoAtualizar, &QPushButton::clicked, this, &QDialog::reject);

    resize(kDesignWidth, kDesignHeight);
    FormCreate();
    CentreOnScreen(*this);
}

void TfrmExibe_versoes::FormCreate()
{
    QTextCharFormat format = rchDesc_Versoes->currentCharFormat();
    format.setFontWeight(QFont::Bold);
    rchDesc_Versoes->setCurrentCharFormat(format);
}

int TfrmExibe_versoes::TextLineCount() const
{
    const QTextDocument* document = rchDesc_Versoes->document();
    int lines = document->blockCount();
    if (document->lastBlock().length() <= 1) {  // the block's length counts its separator
        --lines;
    }
    return lines;
}

void TfrmExibe_versoes::FormShow()
{
    resize(width(), std::min(TextLineCount() * kPixelsPerLine + kHeightBesidesText, kMaximumShownHeight));
}

void TfrmExibe_versoes::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

}  // namespace torvik
