"""A speech server for Orca that says nothing.

Orca logs every utterance as a "SPEECH OUTPUT" line of its debug log before it
hands it to its speech server; with this server that log is the whole of what
a user would hear, and no sound device or speech synthesizer is needed (a
real speech-dispatcher without an audio device makes Orca freeze). Chosen in
user-settings.conf as the speech server factory.
"""

from orca import speechserver


class SpeechServer(speechserver.SpeechServer):
    _server = None

    @staticmethod
    def getFactoryName():
        return "Stille"

    @staticmethod
    def getSpeechServers():
        return [SpeechServer.getSpeechServer()]

    @staticmethod
    def getSpeechServer(info=None):
        if SpeechServer._server is None:
            SpeechServer._server = SpeechServer()
        return SpeechServer._server

    @staticmethod
    def shutdownActiveServers():
        SpeechServer._server = None

    def getInfo(self):
        return ["Stille", "silent"]

    def getVoiceFamilies(self):
        return []
