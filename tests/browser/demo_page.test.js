// The demo page: both clients load, attach to the marked fields and raise no script error.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { scenario } = require('./harness');

test('the demo page offers both clients', () =>
    scenario('demo_page', async ({ page, url }) => {
        await page.goto(url + '/');
        assert.equal(await page.evaluate(() => typeof Verbarium.attach), 'function');
        assert.equal(await page.evaluate(() => typeof Verbarium.openDialog), 'function');
        // Attached fields: the browser's own spell check is off and the textarea has its mirror.
        assert.equal(await page.getAttribute('#kwirl-textarea', 'spellcheck'), 'false');
        assert.equal(await page.getAttribute('#kwirl-rich', 'spellcheck'), 'false');
        const mirror = await page.$eval('#kwirl-textarea', (ta) => {
            const m = ta.previousElementSibling;
            const a = m.getBoundingClientRect();
            const b = ta.getBoundingClientRect();
            return { cls: m.className, dx: a.left - b.left, dy: a.top - b.top, dw: a.width - b.width,
                     text: m.textContent.replace('\u200b', ''), value: ta.value };
        });
        assert.equal(mirror.cls, 'vb-mirror');
        for (const d of [mirror.dx, mirror.dy, mirror.dw]) assert.ok(Math.abs(d) < 0.5, String(d));
        assert.equal(mirror.text, mirror.value);
        // The button opens the dialog and Cancel closes it.
        await page.click('#open-dialog');
        const frame = await (await page.waitForSelector('iframe.vb-frame')).contentFrame();
        await frame.waitForSelector('#pane [data-problem]');
        await frame.click('#cancel');
        await page.waitForSelector('iframe.vb-frame', { state: 'detached' });
        assert.equal(await page.textContent('#dialog-result'), 'Closed without changes.');
    }), { allowErrors: null });
