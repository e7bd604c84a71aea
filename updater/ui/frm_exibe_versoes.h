// TfrmExibe_versoes: the versions dialog, in which the user sees what changed since the
// installed versions and accepts ("Atualizar Sistema") or declines the update.
#pragma once

#include <QDialog>
#include <QPushButton>
#include <QTextEdit>

#include "ui/panel.h"

namespace torvik {

class TfrmExibe_versoes : public QDialog {
public:
    static constexpr int kDesignWidth = 454;
    static constexpr int kDesignHeight = 373;
    static constexpr int kMinimumWidth = 306;
    static constexpr int kMinimumHeight = 193;
    static constexpr int kPixelsPerLine = 18;
    static constexpr int kHeightBesidesText = 120;
    static constexpr int kMaximumShownHeight = 500;

    TfrmExibe_versoes();

    Panel* Panel5;
    Panel* pnlSistema;
    Panel* pnlSugestao;
    Panel* Panel2;
    QTextEdit* rchDesc_Versoes;
    Panel* Panel4;
    QPushButton* btnAtualizar;     // closes with the result OK (Accepted)
    QPushButton* btnNaoAtualizar;  // closes with the result Cancel (Rejected)

    // Lines of the versions text as the rich text box counts them: a final empty line
    // does not count.
    int TextLineCount() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
};

}  // namespace torvik
