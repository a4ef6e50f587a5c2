#pragma once
// The one seam through which the hand-over commands open an address of the local
// service. The program uses the desktop's browser; where the desktop cannot open the
// address, the request is made here and the service's answer is shown as text in an
// information box, so a hand-over never fails silently. Tests install an opener that
// records the addresses.
#include <QString>
#include <functional>

class Messages;
class QUrl;

class AddressOpener {
public:
    virtual ~AddressOpener() = default;
    // Opens `address`; `messages` shows what the user must read when no browser does.
    virtual void open(const QString &address, Messages &messages) = 0;
};

// The desktop's browser, with the fallback of a direct request.
class DesktopAddressOpener : public AddressOpener {
public:
    using Browser = std::function<bool(const QUrl &)>;
    // `browser` opens an address in the desktop's browser and says whether it could;
    // the default is the desktop service for web addresses.
    explicit DesktopAddressOpener(Browser browser = {});
    void open(const QString &address, Messages &messages) override;

private:
    Browser m_browser;
};

// Whether the desktop has a program that shows web addresses (always true where the
// desktop itself is the browser's only way in).
bool desktopHasWebBrowser();

// The opener in force: a DesktopAddressOpener unless another one is installed.
AddressOpener &addressOpener();
// Installs `opener` (nullptr: back to the desktop); returns the one it replaces.
AddressOpener *installAddressOpener(AddressOpener *opener);

// Requests `address` (a plain GET, waiting at most `timeoutMs`) and returns the answer's
// text, HTML turned into plain text; a failure gives an Italian text that says so.
QString requestServiceAnswer(const QString &address, int timeoutMs = 30000);

// A query value percent-encoded (letters, digits, "-", ".", "_", "~" stay as they are).
QString encodeQueryValue(const QString &value);
