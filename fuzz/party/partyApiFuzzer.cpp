// The guests' API: any method, path, query, Content-Type and body give a
// call or an error, never a crash, and a call carries only bounded values.
#include "party/partyApi.h"

#include <QByteArray>
#include <QString>
#include <QUrlQuery>
#include <cstdint>
#include <cstdlib>

// The input's first four lines are the method, the path, the query and the
// Content-Type; the rest is the body.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<QByteArray> parts = input.split('\n');
    while (parts.size() < 5)
        parts.append(QByteArray());
    const QByteArray body = input.mid(parts[0].size() + parts[1].size() + parts[2].size() + parts[3].size() + 4);
    const QUrlQuery query(QString::fromUtf8(parts[2]));
    const auto result = ParseApiCall(parts[0], QString::fromUtf8(parts[1]), query, body, parts[3]);
    if (const TapiCall *call = std::get_if<TapiCall>(&result)) {
        if (call->text.size() > kMaxNameInput || call->count < 0 || call->count > 999999 || call->offset < 0)
            std::abort();
        if ((call->kind == TapiKind::Request || call->kind == TapiKind::Cover) && call->id == 0)
            std::abort();
        if (call->kind == TapiKind::Artists && call->count > kMaxPageCount)
            std::abort();
    } else {
        const TapiError &error = std::get<TapiError>(result);
        if (error.status < 400 || error.status > 599 || ApiErrorJson(error).isEmpty())
            std::abort();
    }
    return 0;
}
