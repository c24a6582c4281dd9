// The batch download over WinINet's asynchronous requests: up to at_once
// requests are in flight on the calling thread, no threads of its own. Each
// job is opened in steps (win32::AdvanceOpen: the GET, its headers, the
// redirects), then its body is read with ReadAvailable into its part file;
// between rounds over the jobs the thread waits for a completion of any of
// them, in short slices so that every job's limits are looked at. The
// response limit runs from a job's start (the opening step) until its
// headers are in, the stall limit after that (ReadAvailable keeps it).
//
// ftp:// addresses go through DownloadToFile one at a time after the others:
// its size query blocks, and a batch of them does not occur.
#include <cstring>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "platform/net.h"
#include "platform/part_file.h"
#include "platform/win32/net_async.h"

namespace glyphoria::platform {

namespace {

constexpr DWORD kWaitSliceMs = 50;
constexpr std::size_t kPiece = 64 * 1024;
// Reads per job and round while its content flows, so that one fast job
// cannot keep the others from their turns.
constexpr int kReadsPerTurn = 16;

struct Job {
    FileDownload* out = nullptr;
    PartFile file;
    RequestHandle request;  // closed before the file is finished
    bool open = false;      // the headers are in
};

enum class Turn { kWaiting, kBusy, kEnded };

// Ends a job: its result, and its file in place or gone.
void End(Job& job, NetError why) {
    job.request.reset();
    const bool placed = job.file.Finish(why.failure == NetFailure::kNone);
    if (!placed && why.failure == NetFailure::kNone) why.failure = NetFailure::kOther;
    job.out->ok = placed;
    job.out->error = placed ? NetError{} : why;
}

// Starts a job; null (with the job's result set) when it cannot start.
std::unique_ptr<Job> Start(InternetSession* session, FileDownload& out, const NetLimits& limits) {
    auto job = std::make_unique<Job>();
    job->out = &out;
    if (out.address.empty()) {
        out.error = NetError{NetFailure::kBadAddress, 0};
        return nullptr;
    }
    if (!job->file.Open(out.path.c_str())) return nullptr;  // kOther
    NetError why;
    job->request = win32::BeginOpen(session, out.address.c_str(), limits, &why);
    if (!job->request) {
        End(*job, why);
        return nullptr;
    }
    return job;
}

// Takes a job as far as it goes without waiting.
Turn Advance(Job& job, std::vector<char>& piece) {
    InternetRequest* request = job.request.get();
    if (!job.open) {
        NetError why;
        const win32::OpenState state = win32::AdvanceOpen(request, &why);
        if (state == win32::OpenState::kPending) return Turn::kWaiting;
        if (state == win32::OpenState::kFailed) {
            End(job, why);
            return Turn::kEnded;
        }
        job.open = true;
        const int status = QueryStatusCode(request);
        if (status != 0 && !IsSuccessStatus(status)) {
            End(job, NetError{NetFailure::kHttpStatus, status});
            return Turn::kEnded;
        }
    }
    for (int read = 0; read < kReadsPerTurn; ++read) {
        std::size_t got = 0;
        const NetRead state = ReadAvailable(request, piece.data(), piece.size(), &got);
        if (got > 0 && !job.file.Write(piece.data(), got)) {
            End(job, NetError{NetFailure::kOther, 0});
            return Turn::kEnded;
        }
        if (state == kNetPending) return Turn::kWaiting;
        if (state == kNetEnd || state == kNetFailed) {
            End(job, state == kNetEnd ? NetError{} : ReadFailure(request));
            return Turn::kEnded;
        }
    }
    return Turn::kBusy;
}

bool IsFtp(const std::string& address) {
    return _strnicmp(address.c_str(), "ftp://", 6) == 0;
}

}  // namespace

void DownloadAllToFiles(std::vector<FileDownload>& jobs, std::size_t at_once,
                        const NetLimits& limits) {
    for (FileDownload& job : jobs) {
        job.ok = false;
        job.error = NetError{NetFailure::kOther, 0};
    }
    if (at_once == 0) at_once = 1;
    if (at_once > MAXIMUM_WAIT_OBJECTS) at_once = MAXIMUM_WAIT_OBJECTS;
    SessionHandle session = OpenSession(nullptr);
    if (session) {
        std::vector<char> piece(kPiece);
        std::list<std::unique_ptr<Job>> running;  // closed before the session
        std::size_t next = 0;
        for (;;) {
            while (running.size() < at_once && next < jobs.size()) {
                FileDownload& job = jobs[next++];
                if (IsFtp(job.address)) continue;
                if (auto started = Start(session.get(), job, limits))
                    running.push_back(std::move(started));
            }
            if (running.empty()) break;
            bool busy = false;
            std::vector<DWORD_PTR> waiting;
            for (auto it = running.begin(); it != running.end();) {
                const Turn turn = Advance(**it, piece);
                if (turn == Turn::kEnded) {
                    it = running.erase(it);
                    continue;
                }
                if (turn == Turn::kBusy) busy = true;
                waiting.push_back(win32::AsyncIdOf((*it)->request.get()));
                ++it;
            }
            // A place that came free goes to the next job before any waiting.
            if (busy || (running.size() < at_once && next < jobs.size())) continue;
            if (!waiting.empty()) win32::WaitAnyCompletion(waiting, kWaitSliceMs);
        }
    }
    for (FileDownload& job : jobs) {
        if (IsFtp(job.address))
            job.ok = DownloadToFile(job.address.c_str(), job.path.c_str(), limits, &job.error);
    }
}

}  // namespace glyphoria::platform
