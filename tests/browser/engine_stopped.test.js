// The engine server stopped: both clients say so clearly, and the page stays usable.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { scenario } = require('./harness');

test('with the engine server stopped the clients show a clear message and typing goes on', () =>
    scenario('engine_stopped', async ({ page, url, service }) => {
        await service.stopEngine();
        await page.goto(url + '/');

        // Check as you type: a notice next to the field, no underline, no lost keystroke.
        await page.click('#kwirl-textarea');
        await page.keyboard.press('End');
        await page.keyboard.type(' more wrods');
        const notice = page.locator('#kwirl-textarea + .vb-notice');
        await notice.waitFor();
        assert.match(await notice.textContent(), /cannot be reached/);
        assert.equal(await notice.getAttribute('role'), 'status');
        assert.match(await page.inputValue('#kwirl-textarea'), / more wrods$/);
        assert.equal(await page.getAttribute('#kwirl-textarea', 'data-verbarium-misspelt'), '0');

        // The dialog: the service's message, the text unchanged, Finish off, Cancel closes.
        await page.fill('#dialog-field', 'A wrod.');
        await page.evaluate(() => {
            Verbarium.openDialog(document.getElementById('dialog-field')).then((r) => { window.dialogResult = r; });
        });
        const frame = await (await page.waitForSelector('iframe.vb-frame')).contentFrame();
        await frame.waitForSelector('#status.error');
        assert.equal(await frame.textContent('#status'), 'The Verbarium Service is currently unavailable.');
        assert.equal(await frame.textContent('#pane'), 'A wrod.');
        assert.ok(await frame.isDisabled('#finish'));
        assert.ok(await frame.isDisabled('#change'));
        await page.screenshot({ path: require('node:path').join(process.env.VERBARIUM_SCREENSHOTS || '/tmp', 'engine_stopped-dialog.png') });
        await frame.click('#cancel');
        await page.waitForSelector('iframe.vb-frame', { state: 'detached' });
        assert.equal(await page.evaluate(() => window.dialogResult), null);
        assert.equal(await page.inputValue('#dialog-field'), 'A wrod.');

        // The page itself keeps working.
        await page.click('#dialog-field');
        await page.keyboard.type(' Still typing.');
        assert.equal(await page.inputValue('#dialog-field'), 'A wrod. Still typing.');
    }));
