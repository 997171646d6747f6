#pragma once
#include "mail/MailMessage.h"

class Connection;
struct MailSettings;

// The notification mailed to the service's mailbox after an attendance is
// booked, composed from the saved attendance itself.
namespace BookingNotice {

// Throws DbError; an attendance that is gone gives a message with empty data.
MailMessage compose(Connection &c, int idAtendimento, const MailSettings &s);

} // namespace BookingNotice
