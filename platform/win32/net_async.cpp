// The status-callback table of the asynchronous WinINet requests.
#include "platform/win32/net_async.h"

#include <map>
#include <mutex>

namespace glyphoria::platform::win32 {

namespace {

std::mutex g_table_mutex;
std::map<DWORD_PTR, AsyncState> g_table;
DWORD_PTR g_next_id = 1;
std::function<void(const char*)> g_trace;  // under g_table_mutex

AsyncState* Find(DWORD_PTR id) {
    auto it = g_table.find(id);
    return it == g_table.end() ? nullptr : &it->second;
}

void TraceLocked(const char* event) {
    if (g_trace) g_trace(event);
}

// Drops a parked entry: WinINet has finished with its buffers.
void ReleaseLocked(std::map<DWORD_PTR, AsyncState>::iterator it) {
    TraceLocked("system done");
    CloseHandle(it->second.completed);
    g_table.erase(it);
    TraceLocked("released");
}

}  // namespace

DWORD_PTR RegisterAsync() {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!event) return 0;
    std::lock_guard<std::mutex> lock(g_table_mutex);
    DWORD_PTR id = g_next_id++;
    g_table[id].completed = event;
    return id;
}

void UnregisterAsync(DWORD_PTR id) {
    std::lock_guard<std::mutex> lock(g_table_mutex);
    auto it = g_table.find(id);
    if (it == g_table.end()) return;
    CloseHandle(it->second.completed);
    g_table.erase(it);
}

bool TakeCompletion(DWORD_PTR id, DWORD_PTR* result, DWORD* error) {
    std::lock_guard<std::mutex> lock(g_table_mutex);
    AsyncState* state = Find(id);
    if (!state || !state->complete) return false;
    state->complete = false;
    *result = state->result;
    *error = state->error;
    return true;
}

bool WaitCompletion(DWORD_PTR id, DWORD ms) {
    HANDLE event = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_table_mutex);
        AsyncState* state = Find(id);
        if (!state) return false;
        if (state->complete) return true;
        event = state->completed;
    }
    // The event lives as long as the entry, which only this thread removes.
    WaitForSingleObject(event, ms);
    std::lock_guard<std::mutex> lock(g_table_mutex);
    AsyncState* state = Find(id);
    return state && state->complete;
}

bool WaitAnyCompletion(const std::vector<DWORD_PTR>& ids, DWORD ms) {
    std::vector<HANDLE> events;
    {
        std::lock_guard<std::mutex> lock(g_table_mutex);
        for (DWORD_PTR id : ids) {
            AsyncState* state = Find(id);
            if (!state) continue;
            if (state->complete) return true;
            if (events.size() < MAXIMUM_WAIT_OBJECTS) events.push_back(state->completed);
        }
    }
    if (events.empty()) return false;
    // The events live as long as their entries, which only this thread
    // removes. An event may still be set from a completion already taken:
    // the caller then looks once for nothing.
    const DWORD woke =
        WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE, ms);
    return woke < WAIT_OBJECT_0 + events.size();
}

HINTERNET CreatedHandle(DWORD_PTR id) {
    std::lock_guard<std::mutex> lock(g_table_mutex);
    AsyncState* state = Find(id);
    return state ? state->created : nullptr;
}

void ParkAsync(DWORD_PTR id, HINTERNET handle, std::unique_ptr<ReadBuffers> buffers) {
    std::lock_guard<std::mutex> lock(g_table_mutex);
    auto it = g_table.find(id);
    if (it == g_table.end()) return;  // cannot happen: the request still holds it
    it->second.parked = std::move(buffers);
    it->second.parked_handle = handle;
    TraceLocked("parked");
    // The completion came before the close and was never taken: nothing is
    // pending any more.
    if (it->second.complete) ReleaseLocked(it);
}

void SetAsyncTraceForTesting(std::function<void(const char* event)> observer) {
    std::lock_guard<std::mutex> lock(g_table_mutex);
    g_trace = std::move(observer);
}

void TraceAsync(const char* event) {
    std::lock_guard<std::mutex> lock(g_table_mutex);
    TraceLocked(event);
}

void CALLBACK OnInternetStatus(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID info,
                               DWORD info_length) {
    if (status == INTERNET_STATUS_HANDLE_CLOSING) {
        // The last notice about a handle: whatever was pending on it is over.
        std::lock_guard<std::mutex> lock(g_table_mutex);
        auto it = g_table.find(context);
        if (it != g_table.end() && it->second.parked && it->second.parked_handle == handle)
            ReleaseLocked(it);
        return;
    }
    if (status != INTERNET_STATUS_HANDLE_CREATED && status != INTERNET_STATUS_REQUEST_COMPLETE)
        return;
    if (!info || info_length < sizeof(INTERNET_ASYNC_RESULT)) return;
    const auto* async = static_cast<const INTERNET_ASYNC_RESULT*>(info);
    std::lock_guard<std::mutex> lock(g_table_mutex);
    auto it = g_table.find(context);
    if (it == g_table.end()) return;
    AsyncState* state = &it->second;
    if (status == INTERNET_STATUS_REQUEST_COMPLETE && state->parked) {
        ReleaseLocked(it);  // the pending operation has ended and written what it writes
        return;
    }
    if (status == INTERNET_STATUS_HANDLE_CREATED) {
        // The first one is the handle the caller asked for; InternetOpenUrl
        // may announce its internal connection handle after it.
        if (!state->created) state->created = reinterpret_cast<HINTERNET>(async->dwResult);
        return;
    }
    state->complete = true;
    state->result = async->dwResult;
    state->error = async->dwResult ? 0 : async->dwError;
    SetEvent(state->completed);
}

HINTERNET OpenAsyncSession(const char* agent) {
    HINTERNET session =
        InternetOpenA(agent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, INTERNET_FLAG_ASYNC);
    if (!session) return nullptr;
    if (InternetSetStatusCallbackA(session, OnInternetStatus) == INTERNET_INVALID_STATUS_CALLBACK) {
        InternetCloseHandle(session);
        return nullptr;
    }
    return session;
}

}  // namespace glyphoria::platform::win32
