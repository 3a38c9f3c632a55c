"""Sends an X window the window manager's close request, as its close box
does: the client message WM_PROTOCOLS with WM_DELETE_WINDOW. Without a
window manager nothing else asks a window to close (`wmctrl -c` and Alt+F4
need one; `xdotool windowclose` destroys the window instead of asking).
Qt's xcb platform and Wine both turn the message into the window's close.

    close_request.py WINDOW_ID
"""

import ctypes
import ctypes.util
import sys


def send_close_request(window):
    x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.c_void_p]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5),
                    ("pad", ctypes.c_long * 12)]

    display = x11.XOpenDisplay(None)
    if not display:
        raise OSError("cannot open the X display")
    message = ClientMessage(type=33, window=window, format=32)  # 33: ClientMessage
    message.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
    message.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(display, window, 0, 0, ctypes.byref(message))
    x11.XFlush(display)
    x11.XCloseDisplay(display)


if __name__ == "__main__":
    send_close_request(int(sys.argv[1], 0))
