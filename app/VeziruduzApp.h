// The application object: start-up in a fixed order, the single-instance rule, the program folder, the local
// match database, and shutdown. UI thread only.
#pragma once

#include "app/AdoObject.h"
#include "platform/WinTypes.h"

#include <initializer_list>
#include <memory>
#include <string>

class CMainFrame;
class ScreenMonitors;
namespace platform {
class SingleInstanceLock;
}

class CVeziruduzApp {
public:
    CVeziruduzApp();
    ~CVeziruduzApp();
    CVeziruduzApp(const CVeziruduzApp&) = delete;
    CVeziruduzApp& operator=(const CVeziruduzApp&) = delete;

    // TRUE keeps the program running; FALSE ends it at once (the caller still calls ExitInstance).
    BOOL InitInstance();
    int ExitInstance();

    CMainFrame* mainWindow() const { return m_mainWindow.get(); }

    CAdoObject m_dbLocal;      // local match database, open for the life of the process
    CAdoObject m_dbTournament; // tournament results database, opened on demand

    static constexpr const char* kInstanceName = "VezIrudUz";
    static constexpr const char* kAppId = "Veziruduz.AppID.NoVersion";

private:
    std::unique_ptr<platform::SingleInstanceLock> m_instanceLock;
    std::unique_ptr<ScreenMonitors> m_monitors; // outlives the frame, which measures through it
    std::unique_ptr<CMainFrame> m_mainWindow;
};

extern CVeziruduzApp theApp;

// Opens the local database "Vevuvurer.edi" in the folder (narrow, with a trailing '/') through the first
// provider that opens it, in the order given.
BOOL OpenLocalDatabase(CAdoObject& db, const std::string& folder,
                       std::initializer_list<const char*> providers);
