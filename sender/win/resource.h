#ifndef ORVANTA_SENDER_WIN_RESOURCE_H_
#define ORVANTA_SENDER_WIN_RESOURCE_H_

// Icon ids: the lowest id is the program icon Explorer shows.
#define IDI_PROGRAM 1
#define IDI_TRAY 2

#endif  // ORVANTA_SENDER_WIN_RESOURCE_H_
