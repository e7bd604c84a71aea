// LexoraAPI: the runtime object a host program creates first. It keeps the error and
// warning lists that every operation reports into, loads grammars and opens input
// streams.
#pragma once

#include "lxra101/lx_error.h"
#include "lxra101/lx_grammar.h"
#include "lxra101/lx_input_stream.h"
#include "lxra101/lxra101_export.h"

class LXRA101_API LexoraAPI {
public:
    LexoraAPI();
    ~LexoraAPI();
    LexoraAPI(const LexoraAPI&) = delete;
    LexoraAPI& operator=(const LexoraAPI&) = delete;

    int Init();

    LXError* ThrowError(long code);
    LXError* PostWarning(long code);
    void ClearErrors();
    void ClearWarnings();
    // Errors newest first: GetLastError, then GetPrevError until null.
    LXError* GetLastError() const;
    LXError* GetPrevError(LXError* error) const;
    // Warnings oldest first: GetFirstWarning, then GetNextWarning until null.
    LXError* GetFirstWarning() const;
    LXError* GetNextWarning(LXError* warning) const;
    long GetNumErrors() const;
    long GetNumWarnings() const;

    // Each load clears the error and warning lists first; null on failure, with the
    // errors posted. A grammar posts into this object, which must outlive it.
    // A compiled grammar file, ".GMR" or ".GOB" (any case).
    LXGrammar* LoadGrammar(const char* path);
    // The same image in memory; it must hold every byte its counts say.
    LXGrammar* LoadGrammarFromBuffer(const char* data);
    // Deletes a grammar; null is ignored.
    void UnloadGrammar(LXGrammar* grammar);

    static long GetFileSize(const char* path);
    static long LoadFile(const char* path, char* buf, long size);

    // A stream over a file read through a window of windowSize bytes (0: 8192).
    // Null, with nothing posted, when the path is null or empty or cannot be opened.
    LXInputStream* OpenFileStream(const char* path, long windowSize);
    // A stream over text the caller keeps alive; length 0 means strlen(text).
    // Null when text is null or length is negative.
    LXInputStream* OpenBufferStream(const char* text, long length);
    // Deletes a stream; null is ignored.
    void CloseStream(LXInputStream* stream);

    // The members below serve the runtime itself and are not exported.
    LXErrorManager* GetErrorManager() const { return errorManager_; }

private:
    LXErrorManager* errorManager_;
};
