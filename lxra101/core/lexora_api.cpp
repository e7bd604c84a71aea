#include "lxra101/lexora_api.h"

#include <new>

#include "core/buffer_stream.h"
#include "core/file_stream.h"
#include "lxra101/file_helpers.h"
#include "lxra101/grammar_imp.h"

// The error manager is allocated without throwing: no exception may reach the host.
// Should it be missing, the lists behave as empty and nothing can be posted.
LexoraAPI::LexoraAPI() : errorManager_(new (std::nothrow) LXErrorManager) {}

LexoraAPI::~LexoraAPI()
{
    delete errorManager_;
}

int LexoraAPI::Init()
{
    return 1;
}

LXError* LexoraAPI::ThrowError(long code)
{
    return errorManager_ != nullptr ? errorManager_->ThrowError(code) : nullptr;
}

LXError* LexoraAPI::PostWarning(long code)
{
    return errorManager_ != nullptr ? errorManager_->PostWarning(code) : nullptr;
}

void LexoraAPI::ClearErrors()
{
    if (errorManager_ != nullptr) {
        errorManager_->ClearErrors();
    }
}

void LexoraAPI::ClearWarnings()
{
    if (errorManager_ != nullptr) {
        errorManager_->ClearWarnings();
    }
}

LXError* LexoraAPI::GetLastError() const
{
    return errorManager_ != nullptr ? errorManager_->GetLastError() : nullptr;
}

LXError* LexoraAPI::GetPrevError(LXError* error) const
{
    return errorManager_ != nullptr ? errorManager_->GetPrevError(error) : nullptr;
}

LXError* LexoraAPI::GetFirstWarning() const
{
    return errorManager_ != nullptr ? errorManager_->GetFirstWarning() : nullptr;
}

LXError* LexoraAPI::GetNextWarning(LXError* warning) const
{
    return errorManager_ != nullptr ? errorManager_->GetNextWarning(warning) : nullptr;
}

long LexoraAPI::GetNumErrors() const
{
    return errorManager_ != nullptr ? errorManager_->GetNumErrors() : 0;
}

long LexoraAPI::GetNumWarnings() const
{
    return errorManager_ != nullptr ? errorManager_->GetNumWarnings() : 0;
}

LXGrammar* LexoraAPI::LoadGrammar(const char* path)
{
    ClearErrors();
    ClearWarnings();
    return GrammarImp::LoadGrammar(path, this);
}

LXGrammar* LexoraAPI::LoadGrammarFromBuffer(const char* data)
{
    ClearErrors();
    ClearWarnings();
    return GrammarImp::LoadGrammarFromBuffer(data, this);
}

void LexoraAPI::UnloadGrammar(LXGrammar* grammar)
{
    delete grammar;
}

long LexoraAPI::GetFileSize(const char* path)
{
    return ::GetFileSize(path);
}

long LexoraAPI::LoadFile(const char* path, char* buf, long size)
{
    return LoadBufferFromFile(path, buf, size);
}

LXInputStream* LexoraAPI::OpenFileStream(const char* path, long windowSize)
{
    return lxra::FileStreamImp::Open(path, windowSize);
}

LXInputStream* LexoraAPI::OpenBufferStream(const char* text, long length)
{
    if (text == nullptr || length < 0) {
        return nullptr;
    }
    return new (std::nothrow) lxra::BufferStreamImp(text, length);
}

void LexoraAPI::CloseStream(LXInputStream* stream)
{
    delete stream;
}
