// Marrowfield's page: checks for WebGL, then loads the game's module into the canvas. What
// the game writes on standard output and standard error goes to the panel under the canvas
// (and to the browser's console, where the tests read it).
(function () {
    'use strict';
    const canvas = document.getElementById('canvas');
    const status = document.getElementById('status');
    const output = document.getElementById('output');
    const kMaxLines = 500;
    const kPlaying = 'Arrow keys walk, Return answers, M pauses the music, Escape ends the game. ' +
        'Sound starts with the first click or key.';

    function addLine(text, kind) {
        const line = document.createElement('div');
        line.textContent = text;
        if (kind) {
            line.className = kind;
        }
        output.appendChild(line);
        while (output.childNodes.length > kMaxLines) {
            output.removeChild(output.firstChild);
        }
        output.scrollTop = output.scrollHeight;
    }

    function showStatus(text, isError) {
        status.textContent = text;
        status.className = isError ? 'error' : '';
    }

    const probe = document.createElement('canvas');
    if (!(probe.getContext('webgl') || probe.getContext('experimental-webgl'))) {
        showStatus('Marrowfield draws with WebGL, which this browser does not offer or has ' +
            'turned off. Try another browser, or turn on hardware acceleration.', true);
        console.error('No WebGL: the game was not started.');
        return;
    }

    window.Module = {
        canvas: canvas,
        print: function (text) {
            console.log(text);
            addLine(text);
        },
        printErr: function (text) {
            console.error(text);
            addLine(text, 'error');
        },
        setStatus: function (text) {
            showStatus(text || kPlaying, false);
        },
        onRuntimeInitialized: function () {
            canvas.focus();
        },
        onExit: function (code) {
            showStatus(code === 0 ? 'The game has ended. Reload the page to play again.'
                : 'The game stopped on an error (above). Reload the page to try again.',
            code !== 0);
        },
    };
    canvas.addEventListener('mousedown', function () {
        canvas.focus();
    });
    window.addEventListener('error', function (event) {
        showStatus('The page failed: ' + event.message, true);
    });

    const script = document.createElement('script');
    script.src = 'cindra.js';
    script.onerror = function () {
        showStatus('cindra.js could not be loaded.', true);
    };
    document.body.appendChild(script);
}());
