#include "package/platform/pending_messages.h"

#include <QCoreApplication>

namespace torvik::package {

void ProcessPendingMessages()
{
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents();
    }
}

}  // namespace torvik::package
