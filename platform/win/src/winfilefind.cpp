// The file finder: a path, possibly with * and ? in its last component, matched
// against the file system. File names on this platform are UTF-8.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "afxstub.h"
#include "winhost.h"

namespace {

bool wildMatch(const wchar_t* pattern, const wchar_t* name) {
    // Iterative matcher with one backtrack point for the last '*'.
    const wchar_t* star = nullptr;
    const wchar_t* resume = nullptr;
    while (*name != L'\0') {
        if (*pattern == L'?' || *pattern == *name) {
            ++pattern;
            ++name;
        } else if (*pattern == L'*') {
            star = pattern++;
            resume = name;
        } else if (star != nullptr) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == L'*') ++pattern;
    return *pattern == L'\0';
}

bool statPath(const std::wstring& path, bool& isDir) {
    struct stat st;
    if (stat(winToUtf8(path).c_str(), &st) != 0) return false;
    isDir = S_ISDIR(st.st_mode);
    return true;
}

}  // namespace

CFileFind::CFileFind() = default;
CFileFind::~CFileFind() { Close(); }

void CFileFind::Close() {
    m_matches.clear();
    m_isDir.clear();
    m_next = 0;
    m_hasCurrent = false;
}

BOOL CFileFind::FindFile(LPCTSTR name, DWORD flags) {
    (void)flags;
    Close();
    std::wstring path = name != nullptr ? name : L"*";
    if (path.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    size_t slash = path.rfind(L'/');
    // A plain name (the usual question: does this file exist?) is looked at directly.
    if (path.find_first_of(L"*?", slash == std::wstring::npos ? 0 : slash + 1) == std::wstring::npos) {
        bool isDir = false;
        if (statPath(path, isDir)) {
            m_matches.push_back(std::move(path));
            m_isDir.push_back(isDir);
        }
    } else {
        std::wstring dirPart = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
        std::wstring pattern = slash == std::wstring::npos ? path : path.substr(slash + 1);
        DIR* dir = opendir(winToUtf8(dirPart.empty() ? L"." : dirPart).c_str());
        if (dir != nullptr) {
            std::vector<std::wstring> names;
            while (struct dirent* e = readdir(dir)) {
                std::wstring entry = winFromUtf8(e->d_name);
                if (entry == L"." || entry == L"..") continue;
                if (wildMatch(pattern.c_str(), entry.c_str())) names.push_back(entry);
            }
            closedir(dir);
            std::sort(names.begin(), names.end());
            for (const std::wstring& entry : names) {
                bool isDir = false;
                if (!statPath(dirPart + entry, isDir)) continue;  // vanished or a dangling link
                m_matches.push_back(dirPart + entry);
                m_isDir.push_back(isDir);
            }
        }
    }
    if (m_matches.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL CFileFind::FindNextFile() {
    if (m_next >= m_matches.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    ++m_next;
    m_hasCurrent = true;
    return m_next < m_matches.size() ? TRUE : FALSE;
}

std::wstring CFileFind::GetFilePath() const { return m_hasCurrent ? m_matches[m_next - 1] : std::wstring(); }

std::wstring CFileFind::GetFileName() const {
    std::wstring path = GetFilePath();
    size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

BOOL CFileFind::IsDirectory() const { return m_hasCurrent && m_isDir[m_next - 1] ? TRUE : FALSE; }
