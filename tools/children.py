"""Child processes of the test and benchmark scripts, which never outlive them."""
import ctypes
import signal
import subprocess

PR_SET_PDEATHSIG = 1


def spawn(command, **options):
    """A child that ends with its parent, even a killed one (PR_SET_PDEATHSIG); quiet unless asked."""
    options.setdefault("stdout", subprocess.DEVNULL)
    options.setdefault("stderr", subprocess.DEVNULL)
    return subprocess.Popen([str(c) for c in command], **options,
                            preexec_fn=lambda: ctypes.CDLL(None).prctl(PR_SET_PDEATHSIG,
                                                                       signal.SIGTERM))


def stop(processes):
    """Ends `processes`, the last started first: politely, then for good after five seconds."""
    for process in reversed(processes):
        process.terminate()
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
