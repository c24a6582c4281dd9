// The Internet seam: a session, a request on an address, its response
// headers and its body read piece by piece; a blocking download into a file;
// the machine's connection state.
//
// Windows: WinINet in asynchronous mode (InternetOpenA, InternetOpenUrlA,
// HttpQueryInfoA/W, FtpGetFileSize, InternetQueryDataAvailable,
// InternetReadFile, InternetGetConnectedState); DownloadToFile goes through
// the same requests, not the URL moniker, which saves error pages as
// success. POSIX: libcurl; a request runs on a multi handle. On both,
// ReadAvailable never waits for the network.
//
// Ownership: sessions and requests are owned by their RAII handles
// (SessionHandle, RequestHandle); a request must be closed before its
// session. Failures: OpenSession/OpenAddress return an empty handle, the
// header queries false (also when the value does not fit the caller's buffer:
// a header is never cut), reads kNetFailed; OpenAddress and ReadFailure say
// why (NetError). A request opens whatever its final status: an error page
// is a page to a browser, and QueryStatusCode lets a caller that wants
// content refuse it; DownloadToFile refuses it itself. Cookies are kept as
// the system keeps them: an answer's cookies go with the process's later
// requests to that server (Windows: WinINet's store, shared with the web
// control; POSIX: one in-memory store per process). Nothing here shows a
// message or writes the log. Not thread-safe: one thread drives a request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace glyphoria::platform {

struct InternetSession;
struct InternetRequest;

struct SessionCloser {
    void operator()(InternetSession* session) const;
};
struct RequestCloser {
    void operator()(InternetRequest* request) const;
};
using SessionHandle = std::unique_ptr<InternetSession, SessionCloser>;
using RequestHandle = std::unique_ptr<InternetRequest, RequestCloser>;

// Redirects are followed up to this many hops, and only to http and https.
constexpr long kNetMaxRedirects = 10;

// How long a request may wait on a server before it fails (kTimedOut).
// Zero means no limit of that kind.
struct NetLimits {
    long connect_timeout_ms = 0;   // name lookup and connection
    long response_timeout_ms = 0;  // from the start until the response headers are in
    long stall_timeout_ms = 0;     // then: no new byte of the content for this long
};

// The limits every fetch of the plug-in runs with. A transfer the user can
// cancel has them too: a user who walks away must not come back to a window
// that waits for ever.
constexpr NetLimits kDefaultNetLimits{15000, 30000, 30000};

// Why a request failed.
enum class NetFailure {
    kNone,
    kHttpStatus,        // the final answer's status is not 2xx (NetError::status)
    kTimedOut,          // a limit of NetLimits ran out
    kRefused,           // nothing accepts connections at the address
    kNameNotFound,      // the host name is not known
    kCertificate,       // the server's certificate is not trusted, or TLS failed
    kTooManyRedirects,  // more than kNetMaxRedirects
    kTooLarge,          // more content than the caller can hold
    kCancelled,         // the user ended it
    kBroken,            // the connection broke, or the content ended short of its length
    kBadAddress,        // malformed, or a scheme not spoken (also as a redirect's target)
    kOther,
};
struct NetError {
    NetFailure failure = NetFailure::kNone;
    int status = 0;  // the HTTP status with kHttpStatus
};

// 2xx: the answer is the content asked for. Anything else (an error page, a
// redirect that was not followed) is not.
inline bool IsSuccessStatus(int status) {
    return status >= 200 && status <= 299;
}

// A session with direct access (no proxy). agent: the User-Agent text, or
// null to send none.
SessionHandle OpenSession(const char* agent);

// Starts a GET of the address and waits until its response headers are in
// (following redirects). Empty on a malformed address, a refused or failed
// connection, a certificate that is not trusted, or when a limit runs out;
// *error (optional) then says which.
RequestHandle OpenAddress(InternetSession* session, const char* address,
                          const NetLimits& limits = NetLimits{}, NetError* error = nullptr);

// The status of the final response (after redirects); 0 when the request is
// not HTTP.
int QueryStatusCode(InternetRequest* request);

// The Content-Type header as sent (parameters included).
bool QueryContentType(InternetRequest* request, char* buf, std::size_t cap);

// The announced length of the content (FTP: the server's answer to the
// size query). Unknown when the server announces none, sends the content in
// chunks, or sends a Content-Length that is not a plain decimal number or is
// repeated with different values; on Windows also for an FTP size of 0.
struct ContentLength {
    bool known = false;
    std::uint64_t bytes = 0;
};
ContentLength QueryContentLength(InternetRequest* request);

// The first header of that name (case-insensitive) of the final response,
// without surrounding blanks.
bool QueryHeader(InternetRequest* request, const char* name, char* buf, std::size_t cap);

enum NetRead {
    kNetData,     // *got > 0 bytes were stored
    kNetPending,  // nothing has arrived yet; ask again later
    kNetEnd,      // the content is complete; nothing more will come
    kNetFailed,   // the connection broke, the content ended short of its length, or
                  // its length header was no usable length (so its end is unknown)
};
// Stores at most max bytes of what has already arrived, without waiting.
// With max 0 nothing is stored and the answer tells whether the content has
// ended (kNetEnd, kNetFailed) or more is to come (kNetPending). The stall
// limit is checked here too: a reader that only ever asks what has arrived
// (a progress window's tick) still sees a server that went quiet fail.
NetRead ReadAvailable(InternetRequest* request, void* buf, std::size_t max, std::size_t* got);
// Waits until max bytes have arrived or the content has ended (the request's
// limits apply), like InternetReadFile: kNetData with *got == max, kNetEnd
// with *got < max (possibly 0) bytes stored, or kNetFailed.
NetRead ReadBlocking(InternetRequest* request, void* buf, std::size_t max, std::size_t* got);
// Why the reads answered kNetFailed (kTimedOut, kBroken, ...); kNone while
// they have not.
NetError ReadFailure(InternetRequest* request);

// Downloads the address into the file at path and blocks until done, like
// URLDownloadToFileA. A final status other than 2xx counts as failure
// (kHttpStatus). The file is written beside the path first
// ("<name>.part-<12 hex digits>", where what an interrupted download left is
// removed first) and renamed into place, so on failure no file (and no
// partial file) is left at path. True on success; otherwise *error
// (optional) says why.
bool DownloadToFile(const char* address, const char* path, const NetLimits& limits,
                    NetError* error = nullptr);

// One download of a batch (DownloadAllToFiles): the address, the file, and
// afterwards whether the file is there and, when not, why.
struct FileDownload {
    std::string address;
    std::string path;
    bool ok = false;
    NetError error;
};

// Downloads every job's address into its path as DownloadToFile does (only a
// 2xx answer counts, the part file is renamed into place, a failure leaves
// no file at the path), at most at_once (at least 1) at the same time, and
// returns when every job has ended. A job that fails, or waits on a server
// that went quiet until its limit runs out, ends alone: the others go on.
// The limits apply to each job; the response limit counts from its start
// until the first line of its answer, the stall limit after that. No
// threads: everything runs on the calling thread. POSIX: one libcurl multi
// handle. Windows: WinINet's asynchronous requests, each opened in steps and
// read as its data arrives (ftp:// addresses, which a batch hardly holds, one
// at a time after the others).
void DownloadAllToFiles(std::vector<FileDownload>& jobs, std::size_t at_once,
                        const NetLimits& limits);

// Trust the certificates of this PEM file in place of the system's bundle
// (tests with a self-signed certificate; the tool's --cacert). Null or empty
// goes back to the system's store. Process-wide; applies to requests opened
// afterwards. Windows: WinINet trusts only the system's stores, so the
// certificates are added to the current user's root store (in addition to
// the system's, not in place of it) until the setting is cleared or the
// program ends; a desktop Windows asks the user before adding a root.
void SetTrustedCaFile(const char* path);

// Whether the machine is connected. Windows: InternetGetConnectedState.
// POSIX: online when a non-loopback interface is up, running and has an
// address, and also on a machine that has no interface but loopback (a
// sealed build or test machine, where only local services can be meant).
bool IsOnline();

// Tests force the answer of IsOnline; kOnlineAuto asks the system again.
enum OnlineOverride { kOnlineAuto, kOnlineForceOn, kOnlineForceOff };
void SetOnlineOverride(OnlineOverride mode);

}  // namespace glyphoria::platform
