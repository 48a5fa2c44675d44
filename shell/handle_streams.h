// The piece format's byte streams over Windows file handles, for the divide
// and the merge: one ReadFile or WriteFile per call, nothing buffered.
#pragma once

#include <windows.h>

#include "piece_io.h"

class HandleSource : public sundrel::ByteSource {
public:
    explicit HandleSource(HANDLE file) : file_(file) {}
    bool Read(void* buffer, size_t n, size_t* got) override;

private:
    HANDLE file_;
};

class HandleSink : public sundrel::ByteSink {
public:
    explicit HandleSink(HANDLE file) : file_(file) {}
    bool Write(const void* data, size_t n) override;

private:
    HANDLE file_;
};
