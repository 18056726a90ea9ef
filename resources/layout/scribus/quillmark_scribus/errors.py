"""Errors a handler answers with: {"number": …, "message": …, "brief": …}."""


class ScriptError(Exception):
    def __init__(self, number, message, brief=""):
        super().__init__(message)
        self.number = number
        self.message = message
        self.brief = brief

    def as_json(self):
        return {"number": self.number, "message": self.message, "brief": self.brief}


BUSY = -1
UNEXPECTED = -2
BAD_REQUEST = -3
# The program speaks another protocol version, or did not start with the "hello" handshake.
WRONG_PROTOCOL = -9
NO_DOCUMENT = -20
NO_SELECTION = -21
NOT_A_PICTURE_FRAME = -22
NO_IMAGE = -23
NOT_A_TEXT_FRAME = -24
NO_SUCH_STYLE = -25
