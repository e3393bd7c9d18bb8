/* The program's design at its least: an event thread waits for the device
   and hands each event to a second thread through an eventfd, then waits
   until that thread has read the bytes and sent the datagrams. What this
   costs over the floor relay is the hand-over's own price on this machine;
   what the program costs over this is its own.

   usage: handover_relay DEVICE PORT [START END] */

#include <errno.h>
#include <poll.h>
#include <pthread.h>
#include <stdint.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "relay.h"

static struct relay r;
static int wake;
static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
static pthread_cond_t served = PTHREAD_COND_INITIALIZER;
static int pending;

static void* event_thread(void* unused) {
  (void)unused;
  int events = epoll_create1(EPOLL_CLOEXEC);
  struct epoll_event watch = {EPOLLIN, {0}};
  epoll_ctl(events, EPOLL_CTL_ADD, r.device, &watch);
  for (;;) {
    struct epoll_event got;
    if (epoll_wait(events, &got, 1, -1) < 1) continue;
    pthread_mutex_lock(&lock);
    pending = 1;
    pthread_mutex_unlock(&lock);
    const uint64_t one = 1;
    if (write(wake, &one, sizeof one) != sizeof one) _exit(1);
    pthread_mutex_lock(&lock);
    while (pending) pthread_cond_wait(&served, &lock);
    pthread_mutex_unlock(&lock);
    if (got.events & (EPOLLHUP | EPOLLERR)) _exit(0);
  }
  return NULL;
}

int main(int argc, char** argv) {
  const int opened = relay_open(&r, argc, argv, "handover_relay");
  if (opened != 0) return opened;
  wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  pthread_t thread;
  if (wake < 0 || pthread_create(&thread, NULL, event_thread, NULL) != 0)
    return 1;
  for (;;) {
    struct pollfd wait = {wake, POLLIN, 0};
    if (poll(&wait, 1, -1) < 0) {
      if (errno == EINTR) continue;
      return 1;
    }
    uint64_t count;
    if (read(wake, &count, sizeof count) < 0) continue;
    const int go_on = relay_read_and_send(&r);
    pthread_mutex_lock(&lock);
    pending = 0;
    pthread_cond_signal(&served);
    pthread_mutex_unlock(&lock);
    if (!go_on) return 0;
  }
}
