#pragma once
// The address seam of the hand-over commands replaced, for its lifetime, by a recorder
// of every address; `failAt` makes that call (counting from 1) raise an error.
#include "transmission/address_opener.h"
#include "data/app_error.h"

#include <QStringList>
#include <functional>
#include <optional>

class RecordingOpener : public AddressOpener {
public:
    RecordingOpener() { m_previous = installAddressOpener(this); }
    ~RecordingOpener() override { installAddressOpener(m_previous); }
    RecordingOpener(const RecordingOpener &) = delete;
    RecordingOpener &operator=(const RecordingOpener &) = delete;

    void open(const QString &address, Messages &) override
    {
        addresses << address;
        if (onOpen)
            onOpen(address);
        if (failAt && addresses.size() == *failAt)
            throw AppError(QStringLiteral("errore simulato"));
    }

    QStringList addresses;
    std::optional<int> failAt;
    // Runs at each address, after recording it (the user reading the answer meanwhile).
    std::function<void(const QString &)> onOpen;

private:
    AddressOpener *m_previous;
};
