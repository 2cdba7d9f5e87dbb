#pragma once
// A write past the process's file-size limit (ulimit -f) would end the process
// with SIGXFSZ: no message, and the temporary file of an atomic save left
// behind. With the signal ignored, the write fails with EFBIG ("File too
// large"), which the writers report and clean up like a full disk. Every
// program that writes files calls this once, early.
void report_writes_past_size_limit();
