// What the page lends the core: the files the user gave, by index, read in
// slices from a Web Worker (FileReaderSync), and a progress callback. The
// worker decides which files the indices name for each call.
#pragma once

#include <cstddef>
#include <cstdint>

#define SUNDREL_IMPORT(name) __attribute__((import_module("sundrel"), import_name(name)))
#define SUNDREL_EXPORT(name) extern "C" __attribute__((export_name(name)))

extern "C" {
// Number of files.
SUNDREL_IMPORT("file_count") int HostFileCount();
// The UTF-8 name of file index into buffer (at most capacity bytes); returns
// its full length, which may exceed capacity.
SUNDREL_IMPORT("file_name") int HostFileName(int index, char* buffer, int capacity);
// Length in bytes, or -1 when the file cannot be read.
SUNDREL_IMPORT("file_size") double HostFileSize(int index);
// Up to n bytes from offset into buffer: the number read (less only at the
// end of the file), or -1 on a read error.
SUNDREL_IMPORT("file_read") int HostFileRead(int index, double offset, void* buffer, int n);
// Bytes of pieces checked so far in the current survey.
SUNDREL_IMPORT("progress") void HostProgress(double bytes);

// The outputs of a merge, repair or recovery pieces that the core writes in
// one call: the page suspends the call (WebAssembly JavaScript promise
// integration) while it writes. Each returns 0 once the job has ended on the
// page's side (a Stop, or an output it could not write), else 1.
// Opens the next output by its UTF-8 name.
SUNDREL_IMPORT("output_begin") int HostOutputBegin(const char* name, int length);
// The next n bytes of the current output.
SUNDREL_IMPORT("output_write") int HostOutputWrite(const void* data, int n);
// The current output begins again from nothing.
SUNDREL_IMPORT("output_restart") int HostOutputRestart();
// The current output is complete.
SUNDREL_IMPORT("output_end") int HostOutputEnd();
// Lets the page see a Stop while the core reads without writing.
SUNDREL_IMPORT("job_go_on") int HostJobGoOn();
}
