// TfrmProgressBar: the small window that shows each component being transferred, with
// a button that asks to cancel the update.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <string>

#include "startup/global_state.h"
#include "ui/file_copy_animation.h"
#include "ui/user_interaction.h"

namespace torvik {

class TfrmProgressBar : public QDialog {
public:
    static constexpr int kDesignWidth = 403;
    static constexpr int kDesignHeight = 156;
    static constexpr const char* kCancelQuestion = "Deseja realmente cancelar a atualização?";

    // Created hidden, without owner; the cancel question goes to user and its answer
    // to state.CancelRequested.
    TfrmProgressBar(GlobalState& state, UserInteraction& user);

    FileCopyAnimation* Animate1;
    QLabel* Label1;
    QProgressBar* ProgressBar1;
    QPushButton* btnCancelar;

    std::string FileName;  // the file being transferred

    void btnCancelarClick();

private:
    void FormCreate();

    GlobalState& state_;
    UserInteraction& user_;
};

}  // namespace torvik
