// What the WinINet halves of the Internet seam share.
//
// Sessions are opened in asynchronous mode (INTERNET_FLAG_ASYNC), so that no
// call made on the user-interface thread after the headers are in ever waits
// for the network: InternetQueryDataAvailable and InternetReadFile answer
// ERROR_IO_PENDING instead of blocking, and WinINet reports the completion
// through the status callback on one of its own threads. A stalled server
// therefore never freezes a progress window, and the request can be closed
// (cancelled) at any moment.
//
// The callback must never touch a request that is already gone. Each request
// gets a number as its WinINet context; the callback looks the number up in
// a process-wide table under a lock, and closing a request removes it from
// the table under the same lock. (Pointers as contexts would not do: WinINet
// hands the same context to the connection handle it makes internally, whose
// notices can arrive after the request is closed.)
//
// What WinINet writes into when a pending operation completes (the read
// buffer and its counts) must outlive the request when it is closed with the
// operation still pending: WinINet may finish the operation after the close,
// and would then write into freed memory. Such a request hands its buffers
// to its table entry (ParkAsync); the entry, and the buffers with it, go
// only when WinINet reports the operation's end or the handle's closing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/net.h"
#include "platform/win32/windows_api.h"

#include <wininet.h>

namespace glyphoria::platform::win32 {

// Where a request's pending operations write.
struct ReadBuffers {
    std::vector<char> chunk;
    DWORD chunk_read = 0;  // InternetReadFile's count, also when it completes later
    DWORD available = 0;   // InternetQueryDataAvailable's count
};

// The state the status callback shares with the thread that drives a request.
struct AsyncState {
    HANDLE completed = nullptr;   // auto-reset event, set on every completion
    HINTERNET created = nullptr;  // the handle from INTERNET_STATUS_HANDLE_CREATED
    bool complete = false;        // a completion arrived and was not yet taken
    DWORD_PTR result = 0;
    DWORD error = 0;
    // Set by ParkAsync: the closed request's buffers and handle.
    std::unique_ptr<ReadBuffers> parked;
    HINTERNET parked_handle = nullptr;
};

// Registers a fresh state; its number is the context for WinINet calls.
DWORD_PTR RegisterAsync();
// Forgets the state; later notices for the number are ignored.
void UnregisterAsync(DWORD_PTR id);
// Takes a completion that has arrived: true and its result and error, or
// false when none has arrived yet.
bool TakeCompletion(DWORD_PTR id, DWORD_PTR* result, DWORD* error);
// Waits at most ms for a completion; true when one has arrived.
bool WaitCompletion(DWORD_PTR id, DWORD ms);
// The handle WinINet announced for the number, or null.
HINTERNET CreatedHandle(DWORD_PTR id);
// For a request about to be closed with an operation pending on handle: the
// buffers stay with the number's entry until WinINet is done with them, and
// the entry then goes by itself (do not unregister it).
void ParkAsync(DWORD_PTR id, HINTERNET handle, std::unique_ptr<ReadBuffers> buffers);

// Tests follow the buffers' lifetime: "read pending" when InternetReadFile
// went pending, "parked" when a request was closed with buffers in use,
// "system done" when WinINet reported the end of the operation or the
// handle's closing, "released" when the parked buffers were freed. The
// observer runs on any thread, under the table's lock. Empty: no trace.
void SetAsyncTraceForTesting(std::function<void(const char* event)> observer);
void TraceAsync(const char* event);

// The status callback every session gets.
void CALLBACK OnInternetStatus(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID info,
                               DWORD info_length);

// A session handle in asynchronous mode, direct access. agent may be null.
HINTERNET OpenAsyncSession(const char* agent);

// Waits at most ms for a completion of any of the numbers (at most
// MAXIMUM_WAIT_OBJECTS of them); true when one has arrived.
bool WaitAnyCompletion(const std::vector<DWORD_PTR>& ids, DWORD ms);

// Opening a request in steps, for a caller that drives several requests at
// once on its one thread. BeginOpen checks the address and makes the request
// (empty, with *error saying why, for an address the seam does not speak);
// its response limit starts now. AdvanceOpen never waits: it starts the GET,
// or looks whether the headers of the pending one are in, follows a redirect
// by starting the next GET, and answers kPending (wait for a completion on
// AsyncIdOf, which changes with every hop), kOpen (the request reads like
// one from OpenAddress) or kFailed (*error says why; close the request).
enum class OpenState { kPending, kOpen, kFailed };
RequestHandle BeginOpen(InternetSession* session, const char* address, const NetLimits& limits,
                        NetError* error);
OpenState AdvanceOpen(InternetRequest* request, NetError* error);
DWORD_PTR AsyncIdOf(const InternetRequest* request);

// Starts one InternetReadFile of want bytes into the request's buffer; the
// step the reads are made of, open to tests that need a read left pending
// (want more than has arrived). True when it completed at once.
bool StartRead(InternetRequest* request, DWORD want);

// Applies the certificates set by SetTrustedCaFile (once per change).
void ApplyTrustedCertificates();

}  // namespace glyphoria::platform::win32
