// The batch download over one libcurl multi handle: up to at_once easy
// handles run at the same time, each writing straight into its part file;
// the calling thread waits in curl_multi_poll (which also wakes for curl's
// own timers) and looks at every job's limits between waits.
#include <chrono>
#include <list>
#include <memory>

#include "platform/net.h"
#include "platform/part_file.h"
#include "platform/posix/curl_common.h"

namespace glyphoria::platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPollSliceMs = 50;
constexpr long kReceiveBufferSize = 64 * 1024;

struct Job {
    FileDownload* out = nullptr;
    CURL* easy = nullptr;
    PartFile file;
    Clock::time_point started = Clock::now();
    Clock::time_point last_byte = started;
    bool answered = false;      // a line of the answer came in
    long refused_status = 0;    // the body of a non-2xx answer was refused
    bool write_failed = false;  // the part file could not take the bytes
    bool timed_out = false;

    ~Job() {
        if (easy) curl_easy_cleanup(easy);
    }
};

long StatusOf(CURL* easy) {
    long code = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &code);
    return code;
}

std::size_t OnHeader(char*, std::size_t size, std::size_t count, void* user) {
    auto* job = static_cast<Job*>(user);
    job->answered = true;
    job->last_byte = Clock::now();
    return size * count;
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* job = static_cast<Job*>(user);
    const std::size_t len = size * count;
    job->answered = true;
    job->last_byte = Clock::now();
    // An error page is never written: the transfer stops at its first byte.
    if (curl::IsHttp(job->easy)) {
        const long status = StatusOf(job->easy);
        if (!IsSuccessStatus(static_cast<int>(status))) {
            job->refused_status = status;
            return 0;
        }
    }
    if (!job->file.Write(data, len)) {
        job->write_failed = true;
        return 0;
    }
    return len;
}

// Ends a job: its result, and its file in place or gone.
void Finish(CURLM* multi, Job& job, CURLcode code) {
    curl_multi_remove_handle(multi, job.easy);
    NetError why{NetFailure::kNone, 0};
    const long status = curl::IsHttp(job.easy) ? StatusOf(job.easy) : 0;
    if (job.refused_status != 0)
        why = NetError{NetFailure::kHttpStatus, static_cast<int>(job.refused_status)};
    else if (job.timed_out)
        why.failure = NetFailure::kTimedOut;
    else if (job.write_failed)
        why.failure = NetFailure::kOther;
    else if (code != CURLE_OK)
        why.failure = curl::FailureOf(code);
    else if (status != 0 && !IsSuccessStatus(static_cast<int>(status)))
        why = NetError{NetFailure::kHttpStatus, static_cast<int>(status)};
    else if (!curl::EndIsTrustworthy(job.easy))
        why.failure = NetFailure::kBroken;
    const bool placed = job.file.Finish(why.failure == NetFailure::kNone);
    if (!placed && why.failure == NetFailure::kNone) why.failure = NetFailure::kOther;
    job.out->ok = placed;
    job.out->error = placed ? NetError{} : why;
}

// Starts a job on the multi handle; null (with the job's result set) when it
// cannot start.
std::unique_ptr<Job> Start(CURLM* multi, FileDownload& out, const NetLimits& limits) {
    out.ok = false;
    out.error = NetError{out.address.empty() ? NetFailure::kBadAddress : NetFailure::kOther, 0};
    auto job = std::make_unique<Job>();
    job->out = &out;
    if (out.address.empty() || !job->file.Open(out.path.c_str())) return nullptr;
    job->easy = curl_easy_init();
    CURL* easy = job->easy;
    if (!easy || !curl::ApplyCommonOptions(easy, nullptr, limits) ||
        curl_easy_setopt(easy, CURLOPT_URL, out.address.c_str()) != CURLE_OK ||
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader) != CURLE_OK ||
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, job.get()) != CURLE_OK ||
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody) != CURLE_OK ||
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, job.get()) != CURLE_OK ||
        curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBufferSize) != CURLE_OK ||
        curl_multi_add_handle(multi, easy) != CURLM_OK)
        return nullptr;
    return job;
}

bool OutOfTime(const Job& job, const NetLimits& limits, Clock::time_point now) {
    using std::chrono::milliseconds;
    if (!job.answered)
        return limits.response_timeout_ms > 0 &&
               now - job.started >= milliseconds(limits.response_timeout_ms);
    return limits.stall_timeout_ms > 0 &&
           now - job.last_byte >= milliseconds(limits.stall_timeout_ms);
}

}  // namespace

void DownloadAllToFiles(std::vector<FileDownload>& jobs, std::size_t at_once,
                        const NetLimits& limits) {
    for (FileDownload& job : jobs) {
        job.ok = false;
        job.error = NetError{NetFailure::kOther, 0};
    }
    if (at_once == 0) at_once = 1;
    CURLM* multi = curl::EnsureStarted() ? curl_multi_init() : nullptr;
    if (!multi) return;
    std::list<std::unique_ptr<Job>> running;
    std::size_t next = 0;
    for (;;) {
        while (running.size() < at_once && next < jobs.size()) {
            if (auto job = Start(multi, jobs[next++], limits)) running.push_back(std::move(job));
        }
        if (running.empty()) break;
        int still = 0;
        curl_multi_perform(multi, &still);
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
            if (msg->msg != CURLMSG_DONE) continue;
            for (auto it = running.begin(); it != running.end(); ++it) {
                if ((*it)->easy != msg->easy_handle) continue;
                Finish(multi, **it, msg->data.result);
                running.erase(it);
                break;
            }
        }
        const Clock::time_point now = Clock::now();
        for (auto it = running.begin(); it != running.end();) {
            if (!OutOfTime(**it, limits, now)) {
                ++it;
                continue;
            }
            (*it)->timed_out = true;
            Finish(multi, **it, CURLE_OPERATION_TIMEDOUT);
            it = running.erase(it);
        }
        // A place that came free goes to the next job before any waiting.
        if (running.size() < at_once && next < jobs.size()) continue;
        if (!running.empty()) curl_multi_poll(multi, nullptr, 0, kPollSliceMs, nullptr);
    }
    curl_multi_cleanup(multi);
}

}  // namespace glyphoria::platform
