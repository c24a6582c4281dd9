// The status-callback table of the asynchronous WinINet requests.
#include "platform/win32/net_async.h"

#include <map>
#include <mutex>

namespace glyphoria::platform::win32 {

namespace {

std::mutex g_table_mutex;
std::map<DWORD_PTR, AsyncState> g_table;
DWORD_PTR g_next_id = 1;

AsyncState* Find(DWORD_PTR id) {
    auto it = g_table.find(id);
    return it == g_table.end() ? nullptr : &it->second;
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

HINTERNET CreatedHandle(DWORD_PTR id) {
    std::lock_guard<std::mutex> lock(g_table_mutex);
    AsyncState* state = Find(id);
    return state ? state->created : nullptr;
}

void CALLBACK OnInternetStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info,
                               DWORD info_length) {
    if (status != INTERNET_STATUS_HANDLE_CREATED && status != INTERNET_STATUS_REQUEST_COMPLETE)
        return;
    if (!info || info_length < sizeof(INTERNET_ASYNC_RESULT)) return;
    const auto* async = static_cast<const INTERNET_ASYNC_RESULT*>(info);
    std::lock_guard<std::mutex> lock(g_table_mutex);
    AsyncState* state = Find(context);
    if (!state) return;
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
