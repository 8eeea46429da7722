// Two clients of LanguageTool's HTTP API that nobody here wrote, from the npm registry, against
// the service this test starts (engine server + lighttpd on loopback, through live_service):
//   annotatedtext     builds the "data" form of a marked-up text;
//   languagetool-api  calls /v2/check and reads the matches (its showMistakes cuts each match
//                     out of its context). It always calls LanguageTool's public host: its HTTP
//                     library is handed the service's address instead, the only change.
// The text has an emoji before a misspelling and a grammar problem, and markup in "data"; the
// offsets the service reports must select the right words of the original text.
// Exit 77 (skipped) when the clients or the service's programs are missing.
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import readline from 'node:readline';
import assert from 'node:assert/strict';

const require = createRequire(import.meta.url);
const SKIP = 77;

function skip(why) {
    console.log(`skipped: ${why}`);
    process.exit(SKIP);
}

function startService() {
    const program = process.env.VERBARIUM_LIVE_SERVICE;
    if (!program) skip('VERBARIUM_LIVE_SERVICE is not set');
    const child = spawn(program, [], { stdio: ['pipe', 'pipe', 'inherit'] });
    const lines = readline.createInterface({ input: child.stdout });
    return new Promise((resolve, reject) => {
        lines.once('line', (line) => {
            const web = /web=(\d+)/.exec(line);
            if (!web) {
                child.stdin.end();
                if (/not installed/.test(line)) skip(line);
                reject(new Error(`the service did not start: ${line}`));
                return;
            }
            resolve({ url: `http://127.0.0.1:${web[1]}`, stop: () => child.stdin.end() });
        });
    });
}

// languagetool-api with its HTTP library's requests to the public host sent to `url`.
function languageToolApi(url) {
    const requestPath = require.resolve('request', { paths: [require.resolve('languagetool-api')] });
    const request = require(requestPath);
    const redirected = (target, ...rest) =>
        request(String(target).replace('https://languagetool.org/api', url), ...rest);
    require.cache[requestPath].exports = Object.assign(redirected, request);
    return require('languagetool-api');
}

const check = (api, query) =>
    new Promise((resolve, reject) =>
        api.check(query, (error, answer) => (error ? reject(error) : resolve(answer))));

let compose;
try {
    ({ compose } = await import('annotatedtext'));
    require.resolve('languagetool-api');
} catch {
    skip('the npm clients are not installed (scripts/install-deps.sh runs npm ci in tests/jsonapi)');
}

const service = await startService();
try {
    const api = languageToolApi(service.url);

    // Plain text: the emoji counts two UTF-16 units, as the clients count.
    const text = '\u{1F600} I recieve a apple.';
    const plain = await check(api, { language: 'en-US', text });
    const picked = plain.matches.map((m) => text.substr(m.offset, m.length));
    assert.ok(picked.includes('recieve'), `misspelling not selected: ${JSON.stringify(picked)}`);
    assert.ok(picked.includes('a apple'), `grammar problem not selected: ${JSON.stringify(picked)}`);
    const mistakes = await new Promise((resolve) => api.showMistakes(plain, resolve));
    assert.deepEqual(mistakes, picked);
    const spelling = plain.matches.find((m) => m.rule.issueType === 'misspelling');
    assert.ok(spelling.replacements.some((r) => r.value === 'receive'));

    // Markup: the annotated form built by annotatedtext, offsets in the marked-up original.
    const marked = '<p>\u{1F600} I <b>recieve</b> a apple.</p>';
    const tags = [...marked.matchAll(/<[^>]+>/g)];
    const children = [];
    let at = 0;
    const node = (type, start, end) => ({
        type, value: marked.slice(start, end),
        position: { start: { offset: start }, end: { offset: end } } });
    for (const tag of tags) {
        if (tag.index > at) children.push(node('text', at, tag.index));
        children.push(node('html', tag.index, tag.index + tag[0].length));
        at = tag.index + tag[0].length;
    }
    const root = { type: 'root', children,
                   position: { start: { offset: 0 }, end: { offset: marked.length } } };
    const data = JSON.stringify(compose(marked, root));
    const annotated = await check(api, { language: 'en-US', data });
    const selected = annotated.matches.map((m) => marked.substr(m.offset, m.length));
    assert.ok(selected.includes('recieve'), `markup offsets wrong: ${JSON.stringify(selected)}`);
    assert.ok(selected.includes('a apple'), `markup offsets wrong: ${JSON.stringify(selected)}`);

    const languages = await new Promise((resolve, reject) =>
        api.codes((error, list) => (error ? reject(error) : resolve(list))));
    assert.ok(languages.some((l) => l.longCode === 'en-US'));
    console.log('ok: both clients read the service');
} finally {
    service.stop();
}
