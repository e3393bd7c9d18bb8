/*
 * Loaded into every 32-bit Wine process that tools/wine32-setup runs under
 * qemu-i386 (the tree's /etc/ld.so.preload names it): it works around two
 * faults of the emulator (qemu 7.2, Debian 12) that Wine runs into.
 *
 * 1. One descriptor table for all threads. qemu keeps a single GDT per
 *    process, so the thread-local entries that a real kernel keeps per
 *    thread are shared: whichever thread set an entry last owns it. Every
 *    time a segment register is loaded again, a thread picks up the base of
 *    that last thread. qemu loads %fs and %gs again on every return from a
 *    signal handler, and Wine does when it restores a full context
 *    (exceptions, APCs, the start of a thread) and at the start of each of
 *    its signal handlers. A thread then runs with another thread's TEB
 *    (%fs) and C library thread data (%gs): Wine's helper processes die
 *    with "uncaught target signal 11", threads crash in their exception
 *    frames, and so on. The LDT has no such problem: it is per process on
 *    a real kernel too, and each thread gets an entry of its own.
 *    - %fs (the TEB): Wine falls back to an LDT entry per thread when it
 *      cannot get a thread-local GDT entry; so %fs is cleared at start-up
 *      (the preloader leaves one loaded for Wine to reuse) and Wine's
 *      request for a free GDT entry is refused.
 *    - %gs (the C library's thread pointer): every thread is moved to an
 *      LDT entry of its own, the first one here and each new one as it
 *      starts. The C library creates a thread by giving it the GDT entry
 *      that the creating thread's %gs names, so the creator switches back
 *      to that entry, holding a lock and with its signals blocked, for the
 *      time it takes to create the thread.
 *
 * 2. No trap number in signal frames. qemu leaves the trap number of a
 *    fault signal's context at -1; Wine chooses what to do with a fault by
 *    that number (a page fault on a guard page or a write-watched page is
 *    handled, an access violation goes to the program's handlers) and
 *    treats -1 as an illegal instruction. The handlers of the fault signals
 *    are wrapped to fill in the number the kernel would have given.
 *
 * Built freestanding (no headers: this compiler may have no 32-bit C
 * library to build against), so the few types and numbers it needs are
 * written out here. Nothing in the wrappers uses the stack protector or
 * thread-local data before %gs is right.
 */

typedef unsigned long sigword_t;
typedef void (*handler_t)(int, void*, void*);
typedef void* (*thread_start_t)(void*);

/* The C library's struct sigaction on i386. */
struct libc_sigaction {
  handler_t handler;
  sigword_t mask[1024 / (8 * sizeof(sigword_t))];
  int flags;
  void (*restorer)(void);
};

/* The kernel's struct user_desc. */
struct user_desc {
  unsigned int entry_number;
  unsigned int base_addr;
  unsigned int limit;
  unsigned int flags;
};

void* dlsym(void* handle, const char* name);
int* __errno_location(void);
#define RTLD_NEXT ((void*)-1l)

enum {
  kSysModifyLdt = 123,
  kSysSchedYield = 158,
  kSysRtSigprocmask = 175,
  kSysSetThreadArea = 243,
  kSigBlock = 0,
  kSigSetmask = 2,
  kSaSiginfo = 4,
  kEnosys = 38,
  /* seg_32bit, limit_in_pages, useable: a flat data segment */
  kFlatDataFlags = 0x51,
  /* The C library's entries start here; Wine's own grow upward from 32
   * or 512, well below. */
  kFirstLdtEntry = 4096,
  kLdtEntries = 8192,
  kFirstTlsEntry = 6,
  kLastTlsEntry = 8,
};

/* Raw system calls: no errno, no thread-local data. */
static long raw_syscall(long number, long a, long b, long c, long d) {
  long result;
  __asm__ volatile("int $0x80"
                   : "=a"(result)
                   : "0"(number), "b"(a), "c"(b), "d"(c), "S"(d)
                   : "memory");
  return result;
}

static unsigned short get_gs(void) {
  unsigned short selector;
  __asm__ volatile("movw %%gs,%w0" : "=r"(selector));
  return selector;
}

static void set_gs(unsigned short selector) {
  __asm__ volatile("movw %w0,%%gs" : : "r"(selector) : "memory");
}

/* The C library's thread pointer: the first word of its thread control
 * block points to the block itself, which is where %gs starts. */
static unsigned int thread_pointer(void) {
  unsigned int pointer;
  __asm__ volatile("movl %%gs:0,%0" : "=r"(pointer));
  return pointer;
}

/* --- %gs: an LDT entry per thread --------------------------------------- */

/* The GDT entry the C library uses for %gs (0: not moved). */
static int tls_gdt_entry;
static volatile int next_ldt_entry = kFirstLdtEntry;

/* Moves the calling thread's %gs to an LDT entry of its own, with the same
 * base. Left as it is when the LDT is full or refuses. */
static void move_gs_to_ldt(void) {
  int entry = __sync_fetch_and_add(&next_ldt_entry, 1);
  if (entry >= kLdtEntries) return;
  struct user_desc desc = {entry, thread_pointer(), 0xfffff, kFlatDataFlags};
  if (raw_syscall(kSysModifyLdt, 1, (long)&desc, sizeof desc, 0) != 0) return;
  set_gs((unsigned short)((entry << 3) | 7));
}

struct thread_start {
  thread_start_t start;
  void* argument;
  sigword_t signal_mask[2];
  volatile int taken;
};

/* A new thread starts here, with all signals blocked and the GDT entry
 * in %gs that its creator set up for it. */
static void* start_thread(void* data) {
  struct thread_start* info = data;
  thread_start_t start = info->start;
  void* argument = info->argument;
  sigword_t signal_mask[2] = {info->signal_mask[0], info->signal_mask[1]};
  move_gs_to_ldt();
  info->taken = 1;
  raw_syscall(kSysRtSigprocmask, kSigSetmask, (long)signal_mask, 0,
              sizeof signal_mask);
  return start(argument);
}

static volatile int create_lock;

int pthread_create(void* thread, const void* attributes, thread_start_t start,
                   void* argument) {
  static int (*next)(void*, const void*, thread_start_t, void*);
  if (!next) next = dlsym(RTLD_NEXT, "pthread_create");
  if (!tls_gdt_entry) return next(thread, attributes, start, argument);

  struct thread_start info = {start, argument, {0, 0}, 0};
  sigword_t all[2] = {~0ul, ~0ul};
  raw_syscall(kSysRtSigprocmask, kSigBlock, (long)all, (long)info.signal_mask,
              sizeof all);
  while (__sync_lock_test_and_set(&create_lock, 1)) {
    raw_syscall(kSysSchedYield, 0, 0, 0, 0);
  }
  /* The GDT entry describes this thread while its selector is in %gs;
   * the C library hands the same entry to the new thread. */
  unsigned short own = get_gs();
  struct user_desc desc = {tls_gdt_entry, thread_pointer(), 0xfffff,
                           kFlatDataFlags};
  raw_syscall(kSysSetThreadArea, (long)&desc, 0, 0, 0);
  set_gs((unsigned short)((tls_gdt_entry << 3) | 3));
  int result = next(thread, attributes, start_thread, &info);
  set_gs(own);
  __sync_lock_release(&create_lock);
  /* The new thread copies its start from this stack frame. */
  if (result == 0) {
    while (!info.taken) raw_syscall(kSysSchedYield, 0, 0, 0, 0);
  }
  raw_syscall(kSysRtSigprocmask, kSigSetmask, (long)info.signal_mask, 0,
              sizeof all);
  return result;
}

/* --- %fs: Wine's TEB in the LDT ----------------------------------------- */

/* Wine asks for a free thread-local GDT entry through syscall(); refused,
 * it takes an LDT entry per thread. Everything else passes through. */
long syscall(long number, long a, long b, long c, long d, long e, long f) {
  static long (*next)(long, long, long, long, long, long, long);
  if (!next) next = dlsym(RTLD_NEXT, "syscall");
  if (number == kSysSetThreadArea && a &&
      ((struct user_desc*)a)->entry_number == ~0u) {
    *__errno_location() = kEnosys;
    return -1;
  }
  return next(number, a, b, c, d, e, f);
}

__attribute__((constructor)) static void start_process(void) {
  unsigned short gs = get_gs();
  int entry = gs >> 3;
  if (!(gs & 4) && entry >= kFirstTlsEntry && entry <= kLastTlsEntry) {
    tls_gdt_entry = entry;
    move_gs_to_ldt();
  }
  __asm__ volatile("movw %w0,%%fs" : : "r"(0));
}

/* --- Trap numbers of fault signals -------------------------------------- */

enum {
  kSigIll = 4,
  kSigTrap = 5,
  kSigBus = 7,
  kSigFpe = 8,
  kSigSegv = 11,
  kSignals = 65,
  kRegTrapno = 12, /* in the ucontext's general registers */
};

struct siginfo_head {
  int signal;
  int error;
  int code;
};

static handler_t fault_handlers[kSignals];

static int is_fault_signal(int signal) {
  return signal == kSigIll || signal == kSigTrap || signal == kSigBus ||
         signal == kSigFpe || signal == kSigSegv;
}

/* The trap number the kernel gives, from the signal and its si_code. */
static int trap_number(int signal, int code) {
  switch (signal) {
    case kSigSegv: /* SEGV_MAPERR, SEGV_ACCERR: page fault; else #GP */
      return code == 1 || code == 2 ? 14 : 13;
    case kSigIll:
      return 6;
    case kSigBus: /* BUS_ADRALN: alignment check; else page fault */
      return code == 1 ? 17 : 14;
    case kSigTrap: /* int3 comes as SI_KERNEL; else a debug trap */
      return code == 0x80 ? 3 : 1;
    case kSigFpe: /* FPE_INTDIV, FPE_INTOVF; else the FPU's */
      return code == 1 ? 0 : code == 2 ? 4 : 16;
  }
  return -1;
}

static void fault_handler(int signal, void* info, void* ucontext) {
  int* registers = (int*)((char*)ucontext + 20);
  if (registers[kRegTrapno] == -1) {
    registers[kRegTrapno] =
        trap_number(signal, ((struct siginfo_head*)info)->code);
  }
  fault_handlers[signal](signal, info, ucontext);
}

int sigaction(int signal, const struct libc_sigaction* action,
              struct libc_sigaction* old_action) {
  static int (*next)(int, const struct libc_sigaction*, struct libc_sigaction*);
  if (!next) next = dlsym(RTLD_NEXT, "sigaction");
  if (signal <= 0 || signal >= kSignals || !is_fault_signal(signal)) {
    return next(signal, action, old_action);
  }
  handler_t previous = fault_handlers[signal];
  int result;
  if (action && (action->flags & kSaSiginfo)) {
    struct libc_sigaction wrapped = *action;
    fault_handlers[signal] = action->handler;
    wrapped.handler = fault_handler;
    result = next(signal, &wrapped, old_action);
  } else {
    result = next(signal, action, old_action);
  }
  if (result == 0 && old_action && old_action->handler == fault_handler) {
    old_action->handler = previous;
  }
  return result;
}
