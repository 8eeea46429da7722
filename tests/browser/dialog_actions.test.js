// The dialog's actions one after another: Change, Change All, Ignore All, Ignore, Add, Finish.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { scenario, openDialog, dialogSettled } = require('./harness');

const TEXT = 'I recieve a leter, a leter and a wrod. The wrod is anser. Zorblax said.';
const DONE = 'I receive a letter, a letter and a wrod. The wrod is anser. Zorblax said.';

async function current(frame) {
    await dialogSettled(frame);
    return frame.textContent('#word');
}

async function press(frame, button) {
    await frame.click('#' + button);
    await dialogSettled(frame);
}

test('Change, Change All, Ignore All, Ignore and Add lead to the corrected text', () =>
    scenario('dialog_actions', async ({ page, url }) => {
        await page.goto(url + '/');
        await page.fill('#dialog-field', TEXT);
        const frame = await openDialog(page, '#dialog-field');

        assert.equal(await current(frame), 'recieve');
        await frame.fill('#changeTo', 'receive');
        await frame.press('#changeTo', 'Enter');   // Enter = Change
        await dialogSettled(frame);
        assert.equal(await current(frame), 'leter');
        await frame.fill('#changeTo', 'letter');
        await press(frame, 'changeAll');
        assert.equal(await current(frame), 'wrod');
        await press(frame, 'ignoreAll');
        assert.equal(await current(frame), 'anser');
        await press(frame, 'ignore');
        assert.equal(await current(frame), 'Zorblax');
        await press(frame, 'add');
        await frame.waitForSelector('#status.done');
        assert.equal(await frame.$$eval('#pane [data-problem]', (els) => els.length), 0);

        await frame.click('#finish');
        await page.waitForSelector('iframe.vb-frame', { state: 'detached' });
        assert.equal(await page.inputValue('#dialog-field'), DONE);

        // The added word stays in the dictionary for the next check.
        await page.fill('#dialog-field', 'Zorblax and a wrod.');
        const again = await openDialog(page, '#dialog-field');
        assert.deepEqual(await again.$$eval('#pane [data-problem]', (els) => els.map((e) => e.textContent)), ['wrod']);
    }));

test('every action is reachable from the keyboard', () =>
    scenario('dialog_actions-keyboard', async ({ page, url }) => {
        await page.goto(url + '/');
        await page.fill('#dialog-field', 'A leter here.');
        const frame = await openDialog(page, '#dialog-field');
        await frame.focus('#choices');
        await page.keyboard.press('Enter');
        await dialogSettled(frame);
        await frame.waitForSelector('#status.done');
        // Tab reaches Finish; Enter on it writes the text back.
        await frame.focus('#finish');
        await page.keyboard.press('Enter');
        await page.waitForSelector('iframe.vb-frame', { state: 'detached' });
        assert.equal(await page.inputValue('#dialog-field'), 'A letter here.');
    }));

test('the pop-up window works like the in-page dialog', () =>
    scenario('dialog_actions-popup', async ({ page, context, url }) => {
        await page.goto(url + '/');
        await page.fill('#dialog-field', 'A leter here.');
        const opened = context.waitForEvent('page');
        await page.evaluate(() => { Verbarium.openDialog(document.getElementById('dialog-field'), { mode: 'popup' }); });
        const popup = await opened;
        await popup.waitForSelector('#pane [data-problem]');
        await popup.waitForFunction(() => document.getElementById('pane').getAttribute('aria-busy') === 'false');
        await popup.click('#change');
        await popup.waitForSelector('#status.done');
        await popup.click('#finish');
        await page.waitForFunction(() => document.getElementById('dialog-field').value === 'A letter here.');
    }));
